#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tessel {

// Per-pixel arithmetic on 32-bit premultiplied B, G, R, A words (as a DIB section stores them,
// read as little-endian 0xAARRGGBB). Free of <windows.h>.

// Converts stb_image's R, G, B, A bytes to premultiplied pixels. A pixel whose result equals
// `mask` becomes fully transparent. Returns whether any pixel is not opaque or was masked.
bool ConvertRgbaToPremultiplied(std::span<const uint8_t> rgba, std::span<uint32_t> out,
                                uint32_t mask);

// Source-over blend of premultiplied `source` onto `dest` with a constant alpha, the way
// AlphaBlend with per-pixel alpha computes it. The spans must have the same length.
void BlendPremultiplied(std::span<const uint32_t> source, std::span<uint32_t> dest,
                        uint8_t constantAlpha);

// GDI drawing leaves alpha 0 on what it touches: such pixels become opaque, except black, which
// cannot be told apart from the cleared background.
void MakeGdiPixelsOpaque(std::span<uint32_t> pixels);

// Scales every channel of each pixel by the alpha of the mask pixel at the same index; pixels
// beyond the end of `mask` become transparent.
void MultiplyByMaskAlpha(std::span<uint32_t> pixels, std::span<const uint32_t> mask);

}  // namespace tessel
