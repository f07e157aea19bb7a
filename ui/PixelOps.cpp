#include "ui/PixelOps.h"

#include <algorithm>

namespace tessel {

bool ConvertRgbaToPremultiplied(std::span<const uint8_t> rgba, std::span<uint32_t> out,
                                uint32_t mask) {
    bool hasAlpha = false;
    const size_t count = std::min(rgba.size() / 4, out.size());
    for (size_t i = 0; i < count; ++i) {
        uint32_t r = rgba[i * 4];
        uint32_t g = rgba[i * 4 + 1];
        uint32_t b = rgba[i * 4 + 2];
        const uint32_t a = rgba[i * 4 + 3];
        if (a < 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            hasAlpha = true;
        }
        uint32_t pixel = (a << 24) | (r << 16) | (g << 8) | b;
        if (pixel == mask) {
            pixel = 0;
            hasAlpha = true;
        }
        out[i] = pixel;
    }
    return hasAlpha;
}

void BlendPremultiplied(std::span<const uint32_t> source, std::span<uint32_t> dest,
                        uint8_t constantAlpha) {
    const size_t count = std::min(source.size(), dest.size());
    for (size_t i = 0; i < count; ++i) {
        const uint32_t s = source[i];
        const uint32_t d = dest[i];
        const uint32_t sourceAlpha = (s >> 24) * constantAlpha / 255;
        const uint32_t keep = 255 - sourceAlpha;
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t sc = ((s >> shift) & 0xFF) * constantAlpha / 255;
            const uint32_t dc = (d >> shift) & 0xFF;
            result |= std::min<uint32_t>(255, sc + dc * keep / 255) << shift;
        }
        dest[i] = result;
    }
}

void MakeGdiPixelsOpaque(std::span<uint32_t> pixels) {
    for (uint32_t& p : pixels) {
        if ((p & 0xFF000000u) == 0 && (p & 0x00FFFFFFu) != 0) {
            p |= 0xFF000000u;
        }
    }
}

void MultiplyByMaskAlpha(std::span<uint32_t> pixels, std::span<const uint32_t> mask) {
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t alpha = i < mask.size() ? mask[i] >> 24 : 0;
        uint32_t& p = pixels[i];
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            result |= (((p >> shift) & 0xFF) * alpha / 255) << shift;
        }
        p = result;
    }
}

}  // namespace tessel
