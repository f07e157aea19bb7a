#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tessel {

// Writing rendered skins as PNG files. Free of <windows.h>.

// Straight (not premultiplied) R, G, B, A bytes from 32-bit premultiplied pixels as a DIB section
// stores them (0xAARRGGBB words). A fully transparent pixel becomes 0, 0, 0, 0; colour channels
// are divided by alpha with rounding and never exceed 255, even for pixels whose colour is above
// their alpha (which careless GDI drawing can leave behind).
std::vector<uint8_t> PremultipliedToRgba(std::span<const uint32_t> pixels);

// A complete PNG file (8-bit RGBA, no interlace, written by stb_image_write) of `rgba`, width *
// height * 4 bytes. Empty when the sizes do not fit the bytes or the image is empty.
std::vector<uint8_t> EncodePng(int width, int height, std::span<const uint8_t> rgba);

}  // namespace tessel
