#pragma once

#include <functional>

#include "ui/Geometry.h"

namespace tessel {

// The geometry of a nine-piece image blit, free of GDI. The middle stretches (or tiles), the four
// edges stretch along their length and the four corners keep their size:
//
//      l        W-l-r        r
//   +-----+---------------+-----+
//   | TL  |      top      | TR  |  t
//   +-----+---------------+-----+
//   | left|    middle     |right|  H-t-b
//   +-----+---------------+-----+
//   | BL  |    bottom     | BR  |  b
//   +-----+---------------+-----+
//
// Pieces are reported middle first (tiles in rows), then the eight borders in the order TL, T, TR,
// L, R, BL, B, BR. Only pieces with positive sizes, a destination inside `dest` that meets `paint`
// and a source inside the image are reported, so a malformed description draws less, never reads
// outside the image. A destination narrower (or lower) than its two corners together shares its
// extent between them in proportion, so a short progress fill still shows both rounded ends,
// squeezed, instead of nothing.
struct BlitPiece {
    UiRect dest;
    UiRect source;
    bool tile = false;  // drawn unstretched (dest and source have the same size)
};

struct NinePieceInput {
    UiRect dest;
    UiRect paint;
    UiRect source;   // already cut to the image
    UiRect corners;  // left, top, right, bottom widths
    UiSize image;    // the image's size
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
};

void ForEachNinePiece(const NinePieceInput& input,
                      const std::function<void(const BlitPiece&)>& draw);

// The source rectangle an image description asks for, cut to the image: all zero means the whole
// image; right and bottom are cut to the image's size and left and top kept inside it.
UiRect ClampImageSource(const UiRect& requested, UiSize image);

// Where an image description lands in a control: `dest` offsets from the control's top-left, cut
// to the control's right and bottom; all zero means the whole control.
UiRect ImageDestination(const UiRect& control, const UiRect& dest);

}  // namespace tessel
