#include "ui/ImageDescription.h"

#include <gtest/gtest.h>

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

TEST(ImageDescriptionTest, DisplayScaleMultipliesGeometryOnly) {
    ImageDrawSpec spec;
    spec.Parse(L"file='a.png' dest='1,2,3,4' source='10,10,20,20' corner='1,1,1,1' fade='100'", L"",
               150);
    EXPECT_EQ(spec.dest, (UiRect{2, 3, 5, 6}));
    EXPECT_EQ(spec.source, (UiRect{15, 15, 30, 30}));
    EXPECT_EQ(spec.corner, (UiRect{2, 2, 2, 2}));
    EXPECT_EQ(spec.fade, 100);
}

}  // namespace
}  // namespace tessel
