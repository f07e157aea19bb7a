#include "ui/LayoutMath.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/ui/GeometryPrinters.h"

namespace tessel {
namespace {

// A layout child with fixed answers; records where it was placed.
struct FakeItem final : ILayoutItem {
    bool visible = true;
    bool floating = false;
    UiRect padding;
    UiSize fixed;
    UiSize minSize;
    UiSize maxSize{9999, 9999};
    UiRect placed{-1, -1, -1, -1};
    bool placedFloating = false;

    bool IsVisible() const override { return visible; }
    bool IsFloat() const override { return floating; }
    UiRect GetPadding() const override { return padding; }
    int GetFixedWidth() const override { return fixed.cx; }
    int GetFixedHeight() const override { return fixed.cy; }
    int GetMinWidth() const override { return minSize.cx; }
    int GetMaxWidth() const override { return maxSize.cx; }
    int GetMinHeight() const override { return minSize.cy; }
    int GetMaxHeight() const override { return maxSize.cy; }
    UiSize MeasureSize(UiSize) override { return fixed; }
    void PlaceAt(const UiRect& rect) override { placed = rect; }
    void PlaceFloating() override { placedFloating = true; }
};

UiSize Layout(Axis axis, UiRect content, std::vector<FakeItem>& items, int childPadding = 0,
              CrossAlign align = CrossAlign::Start, int roundingSlack = 0) {
    std::vector<ILayoutItem*> pointers;
    for (auto& item : items) {
        pointers.push_back(&item);
    }
    BoxLayoutInput input;
    input.axis = axis;
    input.content = content;
    input.childPadding = childPadding;
    input.align = align;
    input.roundingSlack = roundingSlack;
    return LayoutBox(input, pointers);
}

TEST(LayoutMathTest, SecondChildTakesWhatTheFirstLeaves) {
    // A 498-high layout with inset 10: content 478 high.
    std::vector<FakeItem> items(2);
    items[0].fixed = {0, 30};
    items[1].padding = {0, 5, 0, 7};
    Layout(Axis::Vertical, {10, 10, 720, 488}, items);
    EXPECT_EQ(items[0].placed, (UiRect{10, 10, 720, 40}));
    EXPECT_EQ(items[1].placed.Height(), 448 - 12);
    EXPECT_EQ(items[1].placed.top, 40 + 5);
}

TEST(LayoutMathTest, RoundingRemainderGoesToTheLastStretchableChild) {
    for (const Axis axis : {Axis::Vertical, Axis::Horizontal}) {
        std::vector<FakeItem> items(2);
        const UiRect content =
            axis == Axis::Vertical ? UiRect{0, 0, 40, 101} : UiRect{0, 0, 101, 40};
        Layout(axis, content, items);
        const auto extent = [&](const UiRect& r) {
            return axis == Axis::Vertical ? r.Height() : r.Width();
        };
        EXPECT_EQ(extent(items[0].placed), 50);
        EXPECT_EQ(extent(items[1].placed), 51);
    }
}

TEST(LayoutMathTest, PaddingShiftsAFixedWidthChild) {
    std::vector<FakeItem> items(1);
    items[0].fixed = {150, 40};
    items[0].padding = {280, 204, 0, 0};
    Layout(Axis::Vertical, {10, 40, 720, 488}, items);
    EXPECT_EQ(items[0].placed, (UiRect{290, 244, 440, 284}));
}

TEST(LayoutMathTest, StretchingControlTakesTheWidthAButtonLeaves) {
    std::vector<FakeItem> items(2);
    items[1].fixed = {24, 24};
    items[1].padding = {0, 8, 12, 0};
    Layout(Axis::Horizontal, {10, 10, 720, 40}, items);
    EXPECT_EQ(items[0].placed, (UiRect{10, 10, 720 - 24 - 12, 40}));
    // The button's height is capped by what its padding leaves of the row: 30 - 8.
    EXPECT_EQ(items[1].placed, (UiRect{684, 18, 708, 40}));
}

// The folder row at 125 %: an edit box of 554 and a button of 80 after a gap of 16 fill 650 markup
// pixels exactly, but rounded one by one they need 693 + 20 + 100 = 813 of the 811 the row has.
// The edit box gives the two pixels back, so the button is not cut off; a larger overflow is a
// real one and stays.
TEST(LayoutMathTest, RoundingOverflowComesOffTheLargestFixedChild) {
    const auto row = [] {
        std::vector<FakeItem> items(2);
        items[0].fixed = {693, 45};
        items[1].fixed = {100, 45};
        items[1].padding = {20, 0, 0, 0};
        return items;
    };
    std::vector<FakeItem> items = row();
    Layout(Axis::Horizontal, {51, 0, 862, 45}, items, 0, CrossAlign::Start, 5);
    EXPECT_EQ(items[0].placed, (UiRect{51, 0, 742, 45}));
    EXPECT_EQ(items[1].placed, (UiRect{762, 0, 862, 45})) << "the button ends at the row's end";

    items = row();
    Layout(Axis::Horizontal, {51, 0, 862, 45}, items);
    EXPECT_EQ(items[0].placed.Width(), 693) << "without slack (100 %) nothing changes";
    items = row();
    Layout(Axis::Horizontal, {51, 0, 852, 45}, items, 0, CrossAlign::Start, 5);
    EXPECT_EQ(items[0].placed.Width(), 693) << "twelve pixels are more than rounding";
}

TEST(LayoutMathTest, InvisibleChildTakesNoSpaceAndNoGap) {
    std::vector<FakeItem> items(3);
    items[0].fixed = {0, 10};
    items[1].fixed = {0, 10};
    items[1].visible = false;
    items[2].fixed = {0, 10};
    const UiSize needed = Layout(Axis::Vertical, {0, 0, 50, 100}, items, 5);
    EXPECT_EQ(items[2].placed.top, 15);
    EXPECT_EQ(items[1].placed, (UiRect{-1, -1, -1, -1}));
    EXPECT_EQ(needed.cy, 25);
}

TEST(LayoutMathTest, FloatingChildrenArePlacedApart) {
    std::vector<FakeItem> items(2);
    items[0].floating = true;
    items[0].fixed = {371, 73};
    Layout(Axis::Vertical, {0, 0, 100, 100}, items);
    EXPECT_TRUE(items[0].placedFloating);
    EXPECT_EQ(items[1].placed, (UiRect{0, 0, 100, 100}));
}

TEST(LayoutMathTest, CrossAlignmentPutsTheOddPixelAfter) {
    std::vector<FakeItem> items(1);
    items[0].fixed = {11, 10};
    Layout(Axis::Vertical, {0, 0, 100, 100}, items, 0, CrossAlign::Center);
    EXPECT_EQ(items[0].placed.left, 50 - 5);
    EXPECT_EQ(items[0].placed.right, 50 + 6);
    items[0].padding = {0, 0, 4, 0};
    Layout(Axis::Horizontal, {0, 0, 100, 100}, items, 0, CrossAlign::End);
    EXPECT_EQ(items[0].placed.bottom, 100);
    Layout(Axis::Vertical, {0, 0, 100, 100}, items, 0, CrossAlign::End);
    EXPECT_EQ(items[0].placed.right, 96);
}

TEST(LayoutMathTest, StretchedChildrenRespectTheirLimits) {
    std::vector<FakeItem> items(2);
    items[0].maxSize = {9999, 20};
    items[1].minSize = {0, 300};
    Layout(Axis::Vertical, {0, 0, 100, 100}, items);
    EXPECT_EQ(items[0].placed.Height(), 20);
    EXPECT_EQ(items[1].placed.Height(), 300);
}

// Whatever the mix of fixed, stretchable and hidden children: when the fixed children fit, the
// laid-out children stay in order, never overlap, keep the gaps and fill the content exactly when
// something stretches.
TEST(LayoutMathTest, PlacementInvariantsHoldForGeneratedLayouts) {
    std::mt19937 rng(42);
    for (int round = 0; round < 500; ++round) {
        const Axis axis = round % 2 == 0 ? Axis::Vertical : Axis::Horizontal;
        const int gap = static_cast<int>(rng() % 4);
        std::vector<FakeItem> items(1 + rng() % 6);
        int fixedTotal = 0;
        for (auto& item : items) {
            item.visible = rng() % 5 != 0;
            const int extent = rng() % 3 == 0 ? 0 : 1 + static_cast<int>(rng() % 30);
            item.fixed = axis == Axis::Vertical ? UiSize{0, extent} : UiSize{extent, 0};
            const int pad = static_cast<int>(rng() % 4);
            item.padding = axis == Axis::Vertical ? UiRect{0, pad, 0, pad} : UiRect{pad, 0, pad, 0};
            if (item.visible) {
                fixedTotal += extent + 2 * pad + gap;
            }
        }
        const int length = fixedTotal + static_cast<int>(rng() % 50);
        const UiRect content =
            axis == Axis::Vertical ? UiRect{3, 7, 53, 7 + length} : UiRect{3, 7, 3 + length, 57};
        Layout(axis, content, items, gap);
        SCOPED_TRACE(testing::Message() << "round " << round);
        const auto start = [&](const UiRect& r) { return axis == Axis::Vertical ? r.top : r.left; };
        const auto end = [&](const UiRect& r) {
            return axis == Axis::Vertical ? r.bottom : r.right;
        };
        int cursor = start(content);
        bool anyStretch = false;
        const FakeItem* last = nullptr;
        for (const auto& item : items) {
            if (!item.visible) {
                continue;
            }
            const int pad = axis == Axis::Vertical ? item.padding.top : item.padding.left;
            ASSERT_GE(start(item.placed), cursor + pad);
            cursor = end(item.placed) + pad + gap;
            const int wanted = axis == Axis::Vertical ? item.fixed.cy : item.fixed.cx;
            if (wanted != 0) {
                ASSERT_EQ(end(item.placed) - start(item.placed), wanted);
            }
            anyStretch = anyStretch || wanted == 0;
            last = &item;
        }
        if (anyStretch && last != nullptr) {
            const int pad = axis == Axis::Vertical ? last->padding.bottom : last->padding.right;
            EXPECT_EQ(end(last->placed) + pad, end(content));
        }
    }
}

TEST(LayoutMathTest, FloatRectangles) {
    const UiRect parent{10, 40, 720, 488};
    FloatPlacement logo;
    logo.fixedXY = {170, 86};
    logo.fixedSize = {371, 73};
    EXPECT_EQ(ComputeFloatRect(parent, logo), (UiRect{180, 126, 551, 199}));

    FloatPlacement centred = logo;
    centred.align = FLOAT_ALIGN_CENTER | FLOAT_ALIGN_BOTTOM;
    EXPECT_EQ(ComputeFloatRect(parent, centred), (UiRect{10 + 169, 488 - 73, 10 + 169 + 371, 488}));

    FloatPlacement fractions;
    fractions.left = 0.5;
    fractions.right = 0.75;
    fractions.top = 0.0;
    fractions.bottom = 0.5;
    EXPECT_EQ(ComputeFloatRect(parent, fractions), (UiRect{10 + 355, 40, 10 + 532, 40 + 224}));
}

TEST(LayoutMathTest, AreaPlacementStretchesZeroWishes) {
    EXPECT_EQ(PlaceInArea({5, 5, 105, 55}, {0, 0}, {}, {9999, 9999}), (UiRect{5, 5, 105, 55}));
    EXPECT_EQ(PlaceInArea({5, 5, 105, 55}, {30, 0}, {}, {9999, 20}), (UiRect{5, 5, 35, 25}));
    EXPECT_EQ(PlaceInArea({5, 5, 0, 0}, {0, 0}, {}, {9999, 9999}), (UiRect{5, 5, 5, 5}));
}

}  // namespace
}  // namespace tessel
