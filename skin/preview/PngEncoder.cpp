#include "skin/preview/PngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace tessel {
namespace {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColorTypeRgba = 6;
constexpr uint8_t kFilterSub = 1;
constexpr size_t kBytesPerPixel = 4;

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
    }
}

// Length, type, data, then the CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, std::string_view type, std::span<const uint8_t> data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    PutBigEndian32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> PremultipliedToRgba(std::span<const uint32_t> pixels) {
    std::vector<uint8_t> rgba(pixels.size() * kBytesPerPixel);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = pixels[i];
        const uint32_t a = p >> 24;
        if (a == 0) {
            continue;  // stays 0, 0, 0, 0
        }
        const auto straight = [&](int shift) {
            const uint32_t c = (p >> shift) & 0xFF;
            return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
        };
        uint8_t* out = &rgba[i * kBytesPerPixel];
        out[0] = straight(16);
        out[1] = straight(8);
        out[2] = straight(0);
        out[3] = static_cast<uint8_t>(a);
    }
    return rgba;
}

std::vector<uint8_t> EncodePng(int width, int height, std::span<const uint8_t> rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * kBytesPerPixel) {
        return {};
    }
    // Every row gets the "sub" filter: each byte minus the same byte of the pixel to its left,
    // which makes the flat areas of a skin compress to almost nothing.
    const size_t stride = static_cast<size_t>(width) * kBytesPerPixel;
    std::vector<uint8_t> filtered;
    filtered.reserve((stride + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgba.data() + static_cast<size_t>(y) * stride;
        filtered.push_back(kFilterSub);
        for (size_t i = 0; i < stride; ++i) {
            const uint8_t left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
            filtered.push_back(static_cast<uint8_t>(row[i] - left));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);

    std::vector<uint8_t> png(kSignature.begin(), kSignature.end());
    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(width));
    PutBigEndian32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {kBitDepth, kColorTypeRgba, 0, 0, 0});  // deflate, adaptive, none
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace tessel
