#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tessel {

// Decodes PNG bytes (the skin's one image format) to 8-bit R, G, B, A. Nothing for bytes that are
// not a PNG image, are truncated or describe an image above kMaxImageDimension on a side. Free of
// <windows.h>.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // width * height * 4
};

// Skin images are window-sized; a header claiming more is treated as broken.
inline constexpr int kMaxImageDimension = 8192;

std::optional<DecodedImage> DecodeImage(std::span<const uint8_t> bytes);

}  // namespace tessel
