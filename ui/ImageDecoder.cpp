#include "ui/ImageDecoder.h"

#include <climits>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>

namespace tessel {

std::optional<DecodedImage> DecodeImage(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) {
        return std::nullopt;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (pixels == nullptr) {
        return std::nullopt;
    }
    DecodedImage image;
    if (width > 0 && height > 0 && width <= kMaxImageDimension && height <= kMaxImageDimension) {
        image.width = width;
        image.height = height;
        image.rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    }
    stbi_image_free(pixels);
    if (image.rgba.empty()) {
        return std::nullopt;
    }
    return image;
}

}  // namespace tessel
