#include "skin/preview/PngEncoder.h"

#include <algorithm>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace tessel {
namespace {

constexpr size_t kBytesPerPixel = 4;

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
    std::vector<uint8_t> png;
    const auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        const auto* bytes = static_cast<const uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size);
    };
    const int stride = width * static_cast<int>(kBytesPerPixel);
    if (stbi_write_png_to_func(append, &png, width, height, static_cast<int>(kBytesPerPixel),
                               rgba.data(), stride) == 0) {
        return {};
    }
    return png;
}

}  // namespace tessel
