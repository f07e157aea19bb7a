#pragma once

// Helpers for the skin framework tests: PNG bytes made in memory, a ZIP skin package, and a 32-bit
// offscreen surface whose pixels the tests probe.
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/ZipWriter.h"
#include "tests/ui/GeometryPrinters.h"
#include "ui/GdiHandles.h"
#include "ui/Geometry.h"
#include "ui/ResourceLocation.h"

namespace tessel {

namespace testing_support {

// An RGBA PNG whose pixel (x, y) is `color(x, y)` as 0xAARRGGBB.
inline std::string MakePng(int width, int height, const std::function<uint32_t(int, int)>& color) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');  // no filter
        for (int x = 0; x < width; ++x) {
            const uint32_t c = color(x, y);
            raw.push_back(static_cast<char>((c >> 16) & 0xFF));
            raw.push_back(static_cast<char>((c >> 8) & 0xFF));
            raw.push_back(static_cast<char>(c & 0xFF));
            raw.push_back(static_cast<char>(c >> 24));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);

    std::string png = "\x89PNG\r\n\x1a\n";
    const auto put32 = [](std::string& s, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            s.push_back(static_cast<char>((v >> shift) & 0xFF));
        }
    };
    const auto chunk = [&](const char* type, const std::string& data) {
        put32(png, static_cast<uint32_t>(data.size()));
        std::string body = std::string(type, 4) + data;
        png += body;
        put32(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                               static_cast<uInt>(body.size()))));
    };
    std::string header;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", "");
    return png;
}

// A PNG of equal-width vertical bands, one colour each (state strips, nine-piece probes).
inline std::string MakeBandsPng(const std::vector<uint32_t>& colors, int bandWidth, int height) {
    return MakePng(static_cast<int>(colors.size()) * bandWidth, height,
                   [&](int x, int) { return colors[static_cast<size_t>(x / bandWidth)]; });
}

// Opens a fresh in-memory skin package for one test; the bytes live as long as this object.
class TestPackage {
public:
    void Add(const std::string& name, const std::string& content) { m_writer.Add(name, content); }
    void Open() {
        m_bytes = m_writer.Finish();
        ResetSkinLocationForTesting();
        OpenSkinPackage(m_bytes.data(), m_bytes.size(), nullptr);
    }
    ~TestPackage() { ResetSkinLocationForTesting(); }

private:
    ZipWriter m_writer;
    std::string m_bytes;
};

// A width x height 32-bit top-down surface selected into a memory DC.
class PaintSurface {
public:
    PaintSurface(int width, int height, uint32_t background = 0xFFFFFFFF)
        : m_dib(CreateDibSection(width, height)), m_dc(::CreateCompatibleDC(nullptr)) {
        m_select = ::SelectObject(m_dc.Get(), m_dib.bitmap.Get());
        Fill(background);
    }
    ~PaintSurface() { ::SelectObject(m_dc.Get(), m_select); }

    HDC Dc() const { return m_dc.Get(); }
    UiRect Bounds() const { return {0, 0, m_dib.width, m_dib.height}; }
    void Fill(uint32_t color) {
        ::GdiFlush();
        std::fill(m_dib.pixels, m_dib.pixels + static_cast<size_t>(m_dib.width) * m_dib.height,
                  color);
    }
    // 0xAARRGGBB as stored (premultiplied).
    uint32_t Pixel(int x, int y) const {
        ::GdiFlush();
        return m_dib.pixels[static_cast<size_t>(y) * m_dib.width + x];
    }
    uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0x00FFFFFF; }
    // Pixels inside `area` that differ from `background` (colour only).
    int CountChanged(const UiRect& area, uint32_t background) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                n += Rgb(x, y) != (background & 0x00FFFFFF) ? 1 : 0;
            }
        }
        return n;
    }

private:
    DibSection m_dib;
    UniqueMemoryDc m_dc;
    HGDIOBJ m_select = nullptr;
};

// Channel of a 0x00RRGGBB value.
inline int Red(uint32_t c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline int Green(uint32_t c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int Blue(uint32_t c) {
    return static_cast<int>(c & 0xFF);
}

}  // namespace testing_support
}  // namespace tessel
