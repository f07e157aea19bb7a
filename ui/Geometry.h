#pragma once

#include <algorithm>

namespace tessel {

// Plain integer geometry shared by layout, rendering and controls. Kept free of <windows.h> so the
// layout arithmetic can be tested without GDI; `ToRECT`/`FromRECT` in GdiHandles.h convert at the
// GDI boundary.

struct UiPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const UiPoint&, const UiPoint&) = default;
};

struct UiSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const UiSize&, const UiSize&) = default;
};

struct UiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool IsZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool Contains(UiPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    // Empty result (all zero) when the two do not overlap, as IntersectRect reports it.
    UiRect Intersect(const UiRect& other) const {
        UiRect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                 std::min(bottom, other.bottom)};
        return r.IsEmpty() ? UiRect{} : r;
    }
    bool Intersects(const UiRect& other) const { return !Intersect(other).IsEmpty(); }

    // Shrinks by per-side margins (an inset or a padding).
    UiRect Deflate(const UiRect& margins) const {
        return {left + margins.left, top + margins.top, right - margins.right,
                bottom - margins.bottom};
    }
    UiRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

    static UiRect FromXYWH(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

    friend bool operator==(const UiRect&, const UiRect&) = default;
};

}  // namespace tessel
