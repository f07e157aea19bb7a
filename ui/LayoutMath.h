#pragma once

#include <span>

#include "ui/Geometry.h"

namespace tessel {

// Placement arithmetic of the layout containers, free of controls and GDI. A box layout stacks
// its children along a main axis (down for a vertical layout, right for a horizontal one) and
// aligns them on the cross axis; it is written once over (main, cross) and used for both.

enum class Axis { Vertical, Horizontal };

// Float alignment bits ("floatalign").
inline constexpr unsigned FLOAT_ALIGN_CENTER = 1;
inline constexpr unsigned FLOAT_ALIGN_RIGHT = 2;
inline constexpr unsigned FLOAT_ALIGN_VCENTER = 4;
inline constexpr unsigned FLOAT_ALIGN_BOTTOM = 8;
enum class CrossAlign { Start, Center, End };

// What a box layout needs of one child. Sizes are scaled pixels.
class ILayoutItem {
public:
    virtual bool IsVisible() const = 0;
    virtual bool IsFloat() const = 0;
    virtual UiRect GetPadding() const = 0;
    virtual int GetFixedWidth() const = 0;
    virtual int GetFixedHeight() const = 0;
    virtual int GetMinWidth() const = 0;
    virtual int GetMaxWidth() const = 0;
    virtual int GetMinHeight() const = 0;
    virtual int GetMaxHeight() const = 0;
    virtual UiSize MeasureSize(UiSize available) = 0;
    virtual void PlaceAt(const UiRect& rect) = 0;
    virtual void PlaceFloating() = 0;

protected:
    ~ILayoutItem() = default;
};

struct BoxLayoutInput {
    Axis axis = Axis::Vertical;
    UiRect content;  // the container less its inset (and visible scroll bars)
    int childPadding = 0;
    CrossAlign align = CrossAlign::Start;
    // Scroll ranges widen the available area; positions shift the children.
    UiSize scrollRange;
    UiPoint scrollPos;
    // At a display scale other than 100 % every length is rounded on its own, so children that
    // fill the container exactly in markup pixels can need a pixel or two more than it has: the
    // largest fixed child gives up an overflow of at most this many pixels (0 at 100 %).
    int roundingSlack = 0;
};

// Places every visible child and returns the size the children need (for scroll bars).
//
//   1. Measure visible, non-floating children within the available size: a zero wish along the
//      main axis makes a child stretchable, any other wish is clamped to [min, max].
//   2. Stretchable children share what the fixed ones and the gaps leave, in whole pixels; the
//      last stretchable child takes the rounding remainder. Without stretchable children, an
//      overflow within `roundingSlack` comes off the largest fixed child.
//   3. Each child is placed in turn: main extent from step 2 clamped to [min, max], cross extent
//      from its maximum (or the available cross extent) clamped to what it may use, and its cross
//      position by the alignment.
UiSize LayoutBox(const BoxLayoutInput& input, std::span<ILayoutItem* const> items);

// A floating child's rectangle inside `parent` (its full rectangle, not the content). With a float
// alignment the fixed size is centred or pushed to the right/bottom edge; otherwise the fractions
// of the parent's size plus the fixed offset and size place it.
struct FloatPlacement {
    UiSize fixedXY;
    UiSize fixedSize;
    unsigned align = 0;  // FLOAT_ALIGN_* bits
    double left = 0, top = 0, right = 0, bottom = 0;
};
UiRect ComputeFloatRect(const UiRect& parent, const FloatPlacement& placement);

// The tab layout and the plain container put one child at the area's top-left: its wish (0 = the
// whole extent, at least 0) clamped to [min, max].
UiRect PlaceInArea(const UiRect& area, UiSize wish, UiSize minSize, UiSize maxSize);

}  // namespace tessel
