#include "ui/LayoutMath.h"

#include <algorithm>
#include <cmath>

namespace tessel {
namespace {

// Main/cross views of sizes and rectangles so the algorithm is written once.
struct AxisView {
    Axis axis;

    int Main(UiSize s) const { return axis == Axis::Vertical ? s.cy : s.cx; }
    int Cross(UiSize s) const { return axis == Axis::Vertical ? s.cx : s.cy; }
    UiSize Make(int main, int cross) const {
        return axis == Axis::Vertical ? UiSize{cross, main} : UiSize{main, cross};
    }
    int MainStart(const UiRect& r) const { return axis == Axis::Vertical ? r.top : r.left; }
    int MainEnd(const UiRect& r) const { return axis == Axis::Vertical ? r.bottom : r.right; }
    int CrossStart(const UiRect& r) const { return axis == Axis::Vertical ? r.left : r.top; }
    int CrossEnd(const UiRect& r) const { return axis == Axis::Vertical ? r.right : r.bottom; }
    int MainPos(UiPoint p) const { return axis == Axis::Vertical ? p.y : p.x; }
    int CrossPos(UiPoint p) const { return axis == Axis::Vertical ? p.x : p.y; }
    UiRect MakeRect(int mainStart, int mainEnd, int crossStart, int crossEnd) const {
        return axis == Axis::Vertical ? UiRect{crossStart, mainStart, crossEnd, mainEnd}
                                      : UiRect{mainStart, crossStart, mainEnd, crossEnd};
    }

    int FixedMain(const ILayoutItem& i) const {
        return axis == Axis::Vertical ? i.GetFixedHeight() : i.GetFixedWidth();
    }
    int FixedCross(const ILayoutItem& i) const {
        return axis == Axis::Vertical ? i.GetFixedWidth() : i.GetFixedHeight();
    }
    int MinMain(const ILayoutItem& i) const {
        return axis == Axis::Vertical ? i.GetMinHeight() : i.GetMinWidth();
    }
    int MaxMain(const ILayoutItem& i) const {
        return axis == Axis::Vertical ? i.GetMaxHeight() : i.GetMaxWidth();
    }
    int MinCross(const ILayoutItem& i) const {
        return axis == Axis::Vertical ? i.GetMinWidth() : i.GetMinHeight();
    }
    int MaxCross(const ILayoutItem& i) const {
        return axis == Axis::Vertical ? i.GetMaxWidth() : i.GetMaxHeight();
    }
};

// Clamps to [min, max] with the minimum winning when the two cross, as the placement expects.
int ClampMinMax(int value, int minimum, int maximum) {
    if (value < minimum) {
        value = minimum;
    }
    if (value > maximum) {
        value = maximum;
    }
    return value;
}

}  // namespace

UiSize LayoutBox(const BoxLayoutInput& input, std::span<ILayoutItem* const> items) {
    const AxisView v{input.axis};
    const UiSize available{input.content.Width() + input.scrollRange.cx,
                           input.content.Height() + input.scrollRange.cy};
    const int availMain = v.Main(available);
    const int availCross = v.Cross(available);

    // The area a child may measure in: the remaining size less its cross padding, capped by its
    // fixed size (or its maximum where none is fixed).
    const auto childAvailable = [&](const ILayoutItem& item, int remainingMain,
                                    int remainingCross) {
        const UiRect pad = item.GetPadding();
        int main = remainingMain;
        int cross = remainingCross - (v.CrossStart(pad) + v.CrossEnd(pad));
        const int capMain = v.FixedMain(item) > 0 ? v.FixedMain(item) : v.MaxMain(item);
        const int capCross = v.FixedCross(item) > 0 ? v.FixedCross(item) : v.MaxCross(item);
        main = std::min(main, capMain);
        cross = std::min(cross, capCross);
        return v.Make(main, cross);
    };

    // 1. Measuring pass.
    int fixedTotal = 0;
    int stretchables = 0;
    int measured = 0;
    int neededCross = 0;
    const ILayoutItem* largest = nullptr;
    int largestMain = 0;
    for (ILayoutItem* item : items) {
        if (!item->IsVisible() || item->IsFloat()) {
            continue;
        }
        const UiRect pad = item->GetPadding();
        const UiSize wish = item->MeasureSize(childAvailable(*item, availMain, availCross));
        int main = v.Main(wish);
        if (main == 0) {
            ++stretchables;
        } else {
            main = ClampMinMax(main, v.MinMain(*item), v.MaxMain(*item));
            if (main > largestMain) {
                largest = item;
                largestMain = main;
            }
        }
        fixedTotal += main + v.MainStart(pad) + v.MainEnd(pad);
        const int cross =
            ClampMinMax(std::max(v.Cross(wish), 0), v.MinCross(*item), v.MaxCross(*item));
        neededCross = std::max(neededCross, cross + v.CrossStart(pad) + v.CrossEnd(pad));
        ++measured;
    }
    if (measured > 0) {
        fixedTotal += (measured - 1) * input.childPadding;
    }

    // 2. The stretch share, or what rounding made too much.
    const int share = stretchables > 0 ? std::max(0, (availMain - fixedTotal) / stretchables) : 0;
    const int overflow = fixedTotal - availMain;
    const int giveBack =
        stretchables == 0 && overflow > 0 && overflow <= input.roundingSlack ? overflow : 0;

    // 3. Placing pass.
    int position = v.MainStart(input.content) - v.MainPos(input.scrollPos);
    int remainingMain = availMain;
    int remainingFixed = fixedTotal;
    int placedStretchables = 0;
    int placed = 0;
    int neededMain = 0;
    for (ILayoutItem* item : items) {
        if (!item->IsVisible()) {
            continue;
        }
        if (item->IsFloat()) {
            item->PlaceFloating();
            continue;
        }
        const UiRect pad = item->GetPadding();
        remainingMain -= v.MainStart(pad);
        const UiSize childAvail = childAvailable(*item, remainingMain, availCross);
        remainingFixed -= v.MainStart(pad) + v.MainEnd(pad);
        if (placed > 0) {
            remainingFixed -= input.childPadding;
        }
        const UiSize wish = item->MeasureSize(childAvail);
        int main = v.Main(wish);
        if (main == 0) {
            ++placedStretchables;
            main = share;
            if (placedStretchables == stretchables) {
                // The last stretchable child takes what rounding left over.
                main = std::max(0, remainingMain - v.MainEnd(pad) - remainingFixed);
            }
            main = ClampMinMax(main, v.MinMain(*item), v.MaxMain(*item));
        } else {
            main = ClampMinMax(main, v.MinMain(*item), v.MaxMain(*item));
            remainingFixed -= main;
            if (item == largest && giveBack > 0) {
                main = std::max(v.MinMain(*item), main - giveBack);
            }
        }

        int cross = v.MaxCross(*item);
        if (cross == 0) {
            cross = availCross - v.CrossStart(pad) - v.CrossEnd(pad);
        }
        cross = std::max(cross, 0);
        cross = std::min(cross, v.Cross(childAvail));
        cross = std::max(cross, v.MinCross(*item));

        int crossStart = 0;
        const int scrollCross = v.CrossPos(input.scrollPos);
        const int rangeCross = v.Cross(input.scrollRange);
        switch (input.align) {
            case CrossAlign::Center: {
                const int middle = (v.CrossStart(input.content) + v.CrossEnd(input.content)) / 2 +
                                   rangeCross / 2 - scrollCross;
                crossStart = middle - cross / 2;
                break;
            }
            case CrossAlign::End:
                crossStart =
                    v.CrossEnd(input.content) + rangeCross - scrollCross - v.CrossEnd(pad) - cross;
                break;
            case CrossAlign::Start:
                crossStart = v.CrossStart(input.content) - scrollCross + v.CrossStart(pad);
                break;
        }
        const int mainStart = position + v.MainStart(pad);
        item->PlaceAt(v.MakeRect(mainStart, mainStart + main, crossStart, crossStart + cross));

        position += main + input.childPadding + v.MainStart(pad) + v.MainEnd(pad);
        neededMain += main + v.MainStart(pad) + v.MainEnd(pad);
        remainingMain -= main + input.childPadding + v.MainEnd(pad);
        ++placed;
    }
    if (measured > 0) {
        neededMain += (measured - 1) * input.childPadding;
    }
    return v.Make(neededMain, neededCross);
}

UiRect ComputeFloatRect(const UiRect& parent, const FloatPlacement& p) {
    const int parentW = parent.Width();
    const int parentH = parent.Height();
    if (p.align != 0) {
        int x = p.fixedXY.cx;
        int y = p.fixedXY.cy;
        if ((p.align & FLOAT_ALIGN_CENTER) != 0) {
            x = (parentW - p.fixedSize.cx) / 2;
        } else if ((p.align & FLOAT_ALIGN_RIGHT) != 0) {
            x = parentW - p.fixedSize.cx;
        }
        if ((p.align & FLOAT_ALIGN_VCENTER) != 0) {
            y = (parentH - p.fixedSize.cy) / 2;
        } else if ((p.align & FLOAT_ALIGN_BOTTOM) != 0) {
            y = parentH - p.fixedSize.cy;
        }
        return UiRect::FromXYWH(parent.left + x, parent.top + y, p.fixedSize.cx, p.fixedSize.cy);
    }
    const auto part = [](int extent, double fraction) {
        return static_cast<int>(std::floor(extent * fraction));
    };
    return {parent.left + part(parentW, p.left) + p.fixedXY.cx,
            parent.top + part(parentH, p.top) + p.fixedXY.cy,
            parent.left + part(parentW, p.right) + p.fixedXY.cx + p.fixedSize.cx,
            parent.top + part(parentH, p.bottom) + p.fixedXY.cy + p.fixedSize.cy};
}

UiRect PlaceInArea(const UiRect& area, UiSize wish, UiSize minSize, UiSize maxSize) {
    int w = wish.cx == 0 ? std::max(area.Width(), 0) : wish.cx;
    int h = wish.cy == 0 ? std::max(area.Height(), 0) : wish.cy;
    w = ClampMinMax(w, minSize.cx, maxSize.cx);
    h = ClampMinMax(h, minSize.cy, maxSize.cy);
    return UiRect::FromXYWH(area.left, area.top, w, h);
}

}  // namespace tessel
