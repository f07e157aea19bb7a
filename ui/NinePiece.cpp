#include "ui/NinePiece.h"

#include <algorithm>
#include <utility>

namespace tessel {

UiRect ClampImageSource(const UiRect& requested, UiSize image) {
    UiRect source = requested.IsZero() ? UiRect{0, 0, image.cx, image.cy} : requested;
    source.right = std::min(source.right, image.cx);
    source.bottom = std::min(source.bottom, image.cy);
    source.left = std::clamp(source.left, 0, image.cx);
    source.top = std::clamp(source.top, 0, image.cy);
    return source;
}

UiRect ImageDestination(const UiRect& control, const UiRect& dest) {
    if (dest.IsZero()) {
        return control;
    }
    return {control.left + dest.left, control.top + dest.top,
            std::min(control.left + dest.right, control.right),
            std::min(control.top + dest.bottom, control.bottom)};
}

namespace {

bool SourceInside(const UiRect& source, UiSize image) {
    return source.left >= 0 && source.top >= 0 && source.right <= image.cx &&
           source.bottom <= image.cy && !source.IsEmpty();
}

void Emit(const NinePieceInput& in, const BlitPiece& piece,
          const std::function<void(const BlitPiece&)>& draw) {
    // Corners wider than the destination would reach outside it: such pieces are left out.
    if (piece.dest.IsEmpty() || piece.dest.Intersect(in.dest) != piece.dest ||
        !SourceInside(piece.source, in.image) || !piece.dest.Intersects(in.paint)) {
        return;
    }
    draw(piece);
}

// Tiles `dest` with copies of `source` along the tiled directions; in a direction that is not
// tiled one tile spans the whole extent (stretched). Only tiles that meet `paint` are visited, so
// the cost follows the painted area, not the number of tiles.
void EmitTiles(const NinePieceInput& in, const UiRect& dest, const UiRect& source,
               const std::function<void(const BlitPiece&)>& draw) {
    const int tileW = in.xTiled ? source.Width() : dest.Width();
    const int tileH = in.yTiled ? source.Height() : dest.Height();
    if (tileW <= 0 || tileH <= 0) {
        return;
    }
    const UiRect visible = dest.Intersect(in.paint);
    if (visible.IsEmpty()) {
        return;
    }
    const int firstX = (visible.left - dest.left) / tileW;
    const int lastX = (visible.right - dest.left - 1) / tileW;
    const int firstY = (visible.top - dest.top) / tileH;
    const int lastY = (visible.bottom - dest.top - 1) / tileH;
    for (int j = firstY; j <= lastY; ++j) {
        for (int i = firstX; i <= lastX; ++i) {
            BlitPiece piece;
            piece.dest.left = dest.left + i * tileW;
            piece.dest.top = dest.top + j * tileH;
            piece.dest.right = std::min(piece.dest.left + tileW, dest.right);
            piece.dest.bottom = std::min(piece.dest.top + tileH, dest.bottom);
            piece.source = source;
            if (in.xTiled) {
                piece.source.right = source.left + piece.dest.Width();
            }
            if (in.yTiled) {
                piece.source.bottom = source.top + piece.dest.Height();
            }
            piece.tile = in.xTiled && in.yTiled;
            Emit(in, piece, draw);
        }
    }
}

}  // namespace

void ForEachNinePiece(const NinePieceInput& in, const std::function<void(const BlitPiece&)>& draw) {
    const UiRect& d = in.dest;
    const UiRect& s = in.source;
    const int l = in.corners.left;
    const int t = in.corners.top;
    const int r = in.corners.right;
    const int b = in.corners.bottom;
    if (l < 0 || t < 0 || r < 0 || b < 0 || d.IsEmpty() || s.IsEmpty()) {
        return;
    }

    // Destination corners: the source's, unless the two of an axis exceed the destination, which
    // then splits its extent between them in proportion (the first one rounded down).
    const auto share = [](int first, int second, int extent) {
        if (first + second <= extent) {
            return std::pair{first, second};
        }
        const int head =
            static_cast<int>(static_cast<long long>(extent) * first / (first + second));
        return std::pair{head, extent - head};
    };
    const auto [dl, dr] = share(l, r, d.Width());
    const auto [dt, db] = share(t, b, d.Height());
    if (!in.hole) {
        const UiRect middleDest{d.left + dl, d.top + dt, d.right - dr, d.bottom - db};
        const UiRect middleSource{s.left + l, s.top + t, s.right - r, s.bottom - b};
        if (!middleDest.IsEmpty() && !middleSource.IsEmpty()) {
            if (in.xTiled || in.yTiled) {
                EmitTiles(in, middleDest, middleSource, draw);
            } else {
                Emit(in, {middleDest, middleSource}, draw);
            }
        }
    }

    const BlitPiece borders[] = {
        {{d.left, d.top, d.left + dl, d.top + dt}, {s.left, s.top, s.left + l, s.top + t}},
        {{d.left + dl, d.top, d.right - dr, d.top + dt},
         {s.left + l, s.top, s.right - r, s.top + t}},
        {{d.right - dr, d.top, d.right, d.top + dt}, {s.right - r, s.top, s.right, s.top + t}},
        {{d.left, d.top + dt, d.left + dl, d.bottom - db},
         {s.left, s.top + t, s.left + l, s.bottom - b}},
        {{d.right - dr, d.top + dt, d.right, d.bottom - db},
         {s.right - r, s.top + t, s.right, s.bottom - b}},
        {{d.left, d.bottom - db, d.left + dl, d.bottom},
         {s.left, s.bottom - b, s.left + l, s.bottom}},
        {{d.left + dl, d.bottom - db, d.right - dr, d.bottom},
         {s.left + l, s.bottom - b, s.right - r, s.bottom}},
        {{d.right - dr, d.bottom - db, d.right, d.bottom},
         {s.right - r, s.bottom - b, s.right, s.bottom}},
    };
    for (const BlitPiece& piece : borders) {
        Emit(in, piece, draw);
    }
}

}  // namespace tessel
