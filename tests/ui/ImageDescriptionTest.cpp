#include "ui/ImageDescription.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/DisplayScale.h"

namespace tessel {

void PrintTo(const UiRect& r, std::ostream* os) {
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

TEST(ImageDescriptionTest, BareNameIsTheImageName) {
    ImageDrawSpec spec;
    spec.Parse(L"WndInstall\\bk.png", L"");
    EXPECT_EQ(spec.name, L"WndInstall\\bk.png");
    EXPECT_TRUE(spec.dest.IsZero());
    EXPECT_EQ(spec.fade, 255);
}

TEST(ImageDescriptionTest, KeysAreReadAndTheModifierWins) {
    ImageDrawSpec spec;
    spec.Parse(
        L"file='Common\\slider_fore.png' corner='20,0,20,0' dest='1,2,3,4' mask='#FF00FF00' "
        L"fade='128' hole='TRUE' xtiled='true' ytiled='no'",
        L"dest='0,0,50,12' source='0,0,50,12'");
    EXPECT_EQ(spec.name, L"Common\\slider_fore.png");
    EXPECT_EQ(spec.corner, (UiRect{20, 0, 20, 0}));
    EXPECT_EQ(spec.dest, (UiRect{0, 0, 50, 12}));
    EXPECT_EQ(spec.source, (UiRect{0, 0, 50, 12}));
    EXPECT_EQ(spec.mask, 0xFF00FF00u);
    EXPECT_EQ(spec.fade, 128);
    EXPECT_TRUE(spec.hole);
    EXPECT_TRUE(spec.xTiled);
    EXPECT_FALSE(spec.yTiled);
}

TEST(ImageDescriptionTest, ParsingStopsAtTheFirstMalformedPair) {
    struct Case {
        const wchar_t* text;
        UiRect dest;
        UiRect corner;
    };
    const Case cases[] = {
        // A closing quote must be followed by a blank for the next pair to be read.
        {L"file='a.png' dest='1,1,2,2'corner='3,3,3,3'", {1, 1, 2, 2}, {}},
        {L"file='a.png'  \t dest = '1,1,2,2' corner='3,3,3,3'", {1, 1, 2, 2}, {3, 3, 3, 3}},
        {L"file='a.png' dest=\"1,1,2,2\" corner='3,3,3,3'", {}, {}},
        {L"file='a.png' dest='' corner='3,3,3,3'", {}, {3, 3, 3, 3}},
        {L"file='a.png' dest='1,1,2,2", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case of length " << std::wstring(c.text).size());
        ImageDrawSpec spec;
        spec.Parse(c.text, L"");
        EXPECT_EQ(spec.name, L"a.png");
        EXPECT_EQ(spec.dest, c.dest);
        EXPECT_EQ(spec.corner, c.corner);
    }
}

// Only the destination is in window pixels; source and corners stay in the pixels of the image at
// 100 %, which the drawing maps onto the file it draws from.
TEST(ImageDescriptionTest, DisplayScaleMultipliesTheDestinationOnly) {
    ImageDrawSpec spec;
    spec.Parse(L"file='a.png' dest='1,2,3,4' source='10,10,20,20' corner='1,1,1,1' fade='100'", L"",
               150);
    EXPECT_EQ(spec.dest, (UiRect{2, 3, 5, 6}));
    EXPECT_EQ(spec.source, (UiRect{10, 10, 20, 20}));
    EXPECT_EQ(spec.corner, (UiRect{1, 1, 1, 1}));
    EXPECT_EQ(spec.fade, 100);
}

TEST(ImageDescriptionTest, VariantsAreTriedBestFirstForEachScale) {
    using V = std::vector<ImageVariant>;
    EXPECT_EQ(ImageVariantsFor(L"Common\\btn.png", 100), (V{{L"Common\\btn.png", 100}}));
    EXPECT_EQ(ImageVariantsFor(L"Common\\btn.png", 200),
              (V{{L"Common\\btn@200.png", 200}, {L"Common\\btn.png", 100}}));
    EXPECT_EQ(ImageVariantsFor(L"bk.png", 150),
              (V{{L"bk@150.png", 150}, {L"bk@200.png", 200}, {L"bk.png", 100}}));
    EXPECT_EQ(ImageVariantsFor(L"bk.png", 300),
              (V{{L"bk@300.png", 300}, {L"bk@200.png", 200}, {L"bk.png", 100}}))
        << "beyond 200 %, the twice-size image is still nearer than the image itself";
    EXPECT_EQ(ScaledImageName(L"a.b.png", 125), L"a@125.b@125.png") << "every dot, as named";
    EXPECT_EQ(ScaledImageName(L"noextension", 150), L"noextension");
}

TEST(ImageDescriptionTest, ScaleFollowsTheMonitorDpiWithinBounds) {
    EXPECT_EQ(DisplayScale::PercentForDpi(96), 100);
    EXPECT_EQ(DisplayScale::PercentForDpi(120), 125);
    EXPECT_EQ(DisplayScale::PercentForDpi(144), 150);
    EXPECT_EQ(DisplayScale::PercentForDpi(168), 175);
    EXPECT_EQ(DisplayScale::PercentForDpi(192), 200);
    EXPECT_EQ(DisplayScale::PercentForDpi(0), 100) << "unknown";
    EXPECT_EQ(DisplayScale::PercentForDpi(72), 100) << "never below the skin's own size";
    EXPECT_EQ(DisplayScale::PercentForDpi(100000), 500);
    DisplayScale scale;
    scale.SetPercent(150);
    EXPECT_EQ(scale.Scale(UiSize{730, 498}), (UiSize{1095, 747}));
    scale.SetPercent(125);
    EXPECT_EQ(scale.Scale(UiSize{730, 498}), (UiSize{913, 623})) << "halves round up";
    EXPECT_EQ(scale.Unscale(913), 730);
}

}  // namespace
}  // namespace tessel
