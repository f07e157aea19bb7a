#pragma once

#include <cstdint>
#include <span>

#include "ui/Geometry.h"

namespace tessel {

// Resizes part of an image of premultiplied 32-bit pixels for a display scale the skin has no
// image for (the twice-size image at 150 %, say). Free of <windows.h>.
//
// A tent filter as wide as the step between source pixels (at least one pixel): shrinking
// averages every source pixel the target pixel covers, enlarging interpolates linearly between
// neighbours. Only pixels inside `from` are read, so the frames of a strip never bleed into each
// other. `source` holds `sourceSize` rows of `sourceSize.cx` pixels, `target` `to.cx * to.cy`.
// Returns false, writing nothing, when `from` is empty or leaves the image, `to` is empty, or a
// span is shorter than its size says.
bool ResamplePremultiplied(std::span<const uint32_t> source, UiSize sourceSize, const UiRect& from,
                           std::span<uint32_t> target, UiSize to);

}  // namespace tessel
