#include "ui/RenderEngine.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/UiTestSupport.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

using testing_support::Blue;
using testing_support::Green;
using testing_support::MakeBandsPng;
using testing_support::MakePng;
using testing_support::PaintSurface;
using testing_support::Red;
using testing_support::TestPackage;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kMagenta = 0xFFFF00FF;
constexpr uint32_t kDarkRed = 0xFF800000;
constexpr uint32_t kDarkGreen = 0xFF008000;
constexpr uint32_t kNavy = 0xFF000080;
constexpr uint32_t kWhite = 0xFFFFFFFF;

class RenderEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_package.Add("Test/bands.png", MakeBandsPng({kRed, kGreen, kBlue}, 20, 12));
        m_package.Add("Test/masked.png", MakeBandsPng({kRed, kMagenta, kRed, kMagenta}, 1, 1));
        m_package.Add("Test/blue.png", MakeBandsPng({kBlue}, 10, 10));
        m_package.Add("Test/half.png", MakePng(1, 1, [](int, int) { return 0x80FF0000u; }));
        m_package.Add("Test/broken.png", "\x89PNG\r\n\x1a\nnot really");
        // An image with a twice-size twin in other colours, so a test sees which was drawn, and
        // a strip of two frames three pixels wide (with its twin).
        m_package.Add("Test/scaled.png", MakeBandsPng({kRed, kGreen, kBlue}, 20, 12));
        m_package.Add("Test/scaled@200.png", MakeBandsPng({kDarkRed, kDarkGreen, kNavy}, 40, 24));
        m_package.Add("Test/strip.png", MakeBandsPng({kRed, kBlue}, 3, 4));
        m_package.Add("Test/strip@200.png", MakeBandsPng({kRed, kBlue}, 6, 8));
        m_package.Open();
    }
    void TearDown() override { CRenderEngine::UseSoftwareFallbacksForTesting(false); }

    bool Draw(PaintSurface& surface, const UiRect& control, const wchar_t* description) {
        ImageDrawSpec spec;
        spec.Parse(description, L"", m_manager.GetDisplayScale().Percent());
        return CRenderEngine::PaintImageSpec(surface.Dc(), &m_manager, control, surface.Bounds(),
                                             spec);
    }

    TestPackage m_package;
    CPaintManagerUI m_manager;
};

// The three ways a nine-piece image reaches the surface: GDI copies for an opaque image,
// AlphaBlend in a layered window, and the software blend when msimg32 lacks it.
enum class BlitPath { Copy, AlphaBlend, SoftwareBlend };

class NinePiecePathTest : public RenderEngineTest,
                          public ::testing::WithParamInterface<BlitPath> {};

TEST_P(NinePiecePathTest, StretchedImageKeepsItsCorners) {
    m_manager.SetLayered(GetParam() != BlitPath::Copy);
    CRenderEngine::UseSoftwareFallbacksForTesting(GetParam() == BlitPath::SoftwareBlend);
    PaintSurface surface(220, 30);
    ASSERT_TRUE(Draw(surface, {10, 10, 210, 22}, L"file='Test\\bands.png' corner='20,0,20,0'"));
    EXPECT_EQ(surface.Rgb(10, 15), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(29, 15), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(30, 15), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(189, 15), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(190, 15), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(209, 21), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(210, 15), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(100, 9), 0xFFFFFFu);
}

TEST_P(NinePiecePathTest, MaskedPixelsBecomeTransparent) {
    m_manager.SetLayered(GetParam() != BlitPath::Copy);
    CRenderEngine::UseSoftwareFallbacksForTesting(GetParam() == BlitPath::SoftwareBlend);
    PaintSurface surface(4, 1, 0xFF00FF00);
    ASSERT_TRUE(Draw(surface, {0, 0, 4, 1}, L"file='Test\\masked.png' mask='#FFFF00FF'"));
    EXPECT_EQ(surface.Rgb(0, 0), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(1, 0), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(2, 0), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(3, 0), 0x00FF00u);
}

TEST_P(NinePiecePathTest, FadeBlendsAnOpaqueImageAtHalfStrength) {
    m_manager.SetLayered(GetParam() != BlitPath::Copy);
    CRenderEngine::UseSoftwareFallbacksForTesting(GetParam() == BlitPath::SoftwareBlend);
    PaintSurface surface(10, 10);
    ASSERT_TRUE(Draw(surface, {0, 0, 10, 10}, L"file='Test\\blue.png' fade='128'"));
    const uint32_t c = surface.Rgb(5, 5);
    EXPECT_NEAR(Red(c), 127, 2);
    EXPECT_NEAR(Green(c), 127, 2);
    EXPECT_EQ(Blue(c), 255);
}

INSTANTIATE_TEST_SUITE_P(Paths, NinePiecePathTest,
                         ::testing::Values(BlitPath::Copy, BlitPath::AlphaBlend,
                                           BlitPath::SoftwareBlend),
                         [](const auto& info) {
                             switch (info.param) {
                                 case BlitPath::Copy:
                                     return "Copy";
                                 case BlitPath::AlphaBlend:
                                     return "AlphaBlend";
                                 default:
                                     return "SoftwareBlend";
                             }
                         });

TEST_F(RenderEngineTest, ImagesArePremultipliedWhenLoaded) {
    const ImageRecord* half = m_manager.LookUpImage(L"Test\\half.png", L"", 0, false);
    ASSERT_NE(half, nullptr);
    EXPECT_TRUE(half->hasAlpha);
    EXPECT_EQ(half->dib.pixels[0], 0x80800000u);
    const ImageRecord* opaque = m_manager.LookUpImage(L"TEST\\BLUE.PNG", L"", 0, false);
    ASSERT_NE(opaque, nullptr);
    EXPECT_FALSE(opaque->hasAlpha);
    EXPECT_EQ(opaque->Width(), 10);
}

TEST_F(RenderEngineTest, MissingOrBrokenImagesDrawNothing) {
    PaintSurface surface(20, 20);
    EXPECT_FALSE(Draw(surface, {0, 0, 20, 20}, L"file='Test\\absent.png'"));
    EXPECT_FALSE(Draw(surface, {0, 0, 20, 20}, L"Test\\broken.png"));
    EXPECT_EQ(surface.CountChanged(surface.Bounds(), 0xFFFFFFFF), 0);
}

TEST_F(RenderEngineTest, DestinationAndSourceAreCutToControlAndImage) {
    PaintSurface surface(40, 12);
    // The destination reaches past the control's right edge; the source past the image's.
    ASSERT_TRUE(Draw(surface, {0, 0, 30, 12},
                     L"file='Test\\bands.png' dest='0,0,100,12' source='0,0,500,12'"));
    EXPECT_EQ(surface.Rgb(3, 5), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(27, 5), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(31, 5), 0xFFFFFFu);
}

TEST_F(RenderEngineTest, OutsideThePaintRectangleNothingIsDrawn) {
    PaintSurface surface(60, 12);
    ImageDrawSpec spec;
    spec.Parse(L"Test\\bands.png", L"");
    ASSERT_TRUE(CRenderEngine::PaintImageSpec(surface.Dc(), &m_manager, {0, 0, 60, 12},
                                              {25, 0, 35, 12}, spec));
    EXPECT_EQ(surface.Rgb(30, 5), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(5, 5), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(50, 5), 0xFFFFFFu);
}

TEST_F(RenderEngineTest, FillColorHonoursAlpha) {
    PaintSurface surface(10, 10);
    CRenderEngine::FillColor(surface.Dc(), {0, 0, 10, 10}, 0x00FF0000);
    EXPECT_EQ(surface.Rgb(5, 5), 0xFFFFFFu);
    CRenderEngine::FillColor(surface.Dc(), {0, 0, 10, 10}, 0x80FF0000);
    const uint32_t c = surface.Rgb(5, 5);
    EXPECT_EQ(Red(c), 255);
    EXPECT_NEAR(Green(c), 127, 2);
    EXPECT_NEAR(Blue(c), 127, 2);
    CRenderEngine::FillColor(surface.Dc(), {0, 0, 5, 10}, 0xFF0000FF);
    EXPECT_EQ(surface.Rgb(2, 2), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(7, 2), c);
}

TEST_F(RenderEngineTest, GradientRunsFromTheFirstColourToTheSecond) {
    for (const bool fallback : {false, true}) {
        SCOPED_TRACE(fallback ? "bands" : "GradientFill");
        CRenderEngine::UseSoftwareFallbacksForTesting(fallback);
        PaintSurface surface(20, 64);
        CRenderEngine::FillGradient(surface.Dc(), {0, 0, 20, 64}, kRed, kBlue, true, 64);
        EXPECT_GT(Red(surface.Rgb(10, 0)), 240);
        EXPECT_GT(Blue(surface.Rgb(10, 63)), 240);
        EXPECT_GT(Red(surface.Rgb(10, 16)), Red(surface.Rgb(10, 48)));
        // A half-transparent gradient blends over what is there.
        PaintSurface under(20, 64, 0xFF000000);
        CRenderEngine::FillGradient(under.Dc(), {0, 0, 20, 64}, 0x80FF0000, 0x80FF0000, true, 16);
        EXPECT_NEAR(Red(under.Rgb(10, 30)), 128, 3);
    }
}

TEST_F(RenderEngineTest, StrokeRectOutlinesTheEdges) {
    PaintSurface surface(20, 20);
    CRenderEngine::StrokeRect(surface.Dc(), {2, 2, 18, 18}, 1, 0xFF000000);
    EXPECT_EQ(surface.Rgb(2, 10), 0u);
    EXPECT_EQ(surface.Rgb(17, 10), 0u);
    EXPECT_EQ(surface.Rgb(10, 17), 0u);
    EXPECT_EQ(surface.Rgb(10, 10), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(18, 10), 0xFFFFFFu);
}

// Text is drawn with GDI in plain windows and with GDI+ in layered ones; both stay inside the
// rectangle, end long single lines with an ellipsis and measure the same kind of extent.
class RenderTextTest : public RenderEngineTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RenderTextTest, TextIsDrawnInsideItsRectangle) {
    m_manager.SetLayered(GetParam());
    PaintSurface surface(200, 40);
    UiRect rect{20, 5, 180, 35};
    CRenderEngine::RenderText(surface.Dc(), &m_manager, rect, L"Install now", 0xFF000000, -1,
                              DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    EXPECT_GT(surface.CountChanged(rect, 0xFFFFFFFF), 20);
    EXPECT_EQ(surface.CountChanged({0, 0, 20, 40}, 0xFFFFFFFF), 0);
    EXPECT_EQ(surface.CountChanged({180, 0, 200, 40}, 0xFFFFFFFF), 0);
}

TEST_P(RenderTextTest, LongCentredLineEndsWithinTheRectangle) {
    m_manager.SetLayered(GetParam());
    PaintSurface surface(200, 40);
    UiRect rect{60, 5, 140, 35};
    const unsigned format = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS;
    CRenderEngine::RenderText(surface.Dc(), &m_manager, rect,
                              L"A very long status line that cannot fit", 0xFF000000, -1, format);
    EXPECT_GT(surface.CountChanged(rect, 0xFFFFFFFF), 20);
    // GDI+ draws unclipped (as the typographic format asks); antialiasing may touch one more
    // column past the trimmed ellipsis.
    EXPECT_EQ(surface.CountChanged({0, 0, 59, 40}, 0xFFFFFFFF), 0);
    EXPECT_EQ(surface.CountChanged({142, 0, 200, 40}, 0xFFFFFFFF), 0);
    // With the ellipsis the cut line starts at the left edge instead of being centred off it.
    EXPECT_GT(surface.CountChanged({60, 5, 70, 35}, 0xFFFFFFFF), 0);
}

// A label lower than its font's line height still shows its line, centred.
TEST_P(RenderTextTest, LineTallerThanItsRectangleIsStillDrawn) {
    m_manager.SetLayered(GetParam());
    PaintSurface surface(200, 40);
    constexpr int kFont = 7;
    m_manager.AddFont(kFont, L"", 16, false, false, false, false);
    const int lineHeight = m_manager.LookUpFont(kFont).metrics.tmHeight;
    ASSERT_GT(lineHeight, 8);
    UiRect rect{20, 10, 180, 10 + lineHeight - 4};
    CRenderEngine::RenderText(surface.Dc(), &m_manager, rect, L"Installation location:", 0xFF000000,
                              kFont, DT_SINGLELINE | DT_VCENTER);
    EXPECT_GT(surface.CountChanged(rect, 0xFFFFFFFF), 20);
}

TEST_P(RenderTextTest, MeasuringDrawsNothing) {
    m_manager.SetLayered(GetParam());
    PaintSurface surface(200, 40);
    UiRect rect{0, 0, 9999, 40};
    CRenderEngine::RenderText(surface.Dc(), &m_manager, rect, L"Install now", 0xFF000000, -1,
                              DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(rect.Width(), 20);
    EXPECT_LT(rect.Width(), 200);
    EXPECT_EQ(surface.CountChanged(surface.Bounds(), 0xFFFFFFFF), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, RenderTextTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "GdiPlus" : "Gdi"; });

// ---- images at other display scales ------------------------------------------------------------

// The twice-size twin is drawn as it is at 200 % (corners of 20 are 40 pixels of window and of
// image) and resized at 150 % (filtered, not stretched by the blit: corners of 30, each band its
// exact colour away from its edges), in ordinary and layered windows.
TEST_F(RenderEngineTest, TheTwiceSizeTwinIsDrawnAtTwiceTheSizeAndResizedBetween) {
    struct Probe {
        int x, y;
        uint32_t color;
    };
    const struct {
        int percent;
        UiRect control;
        std::vector<Probe> probes;
    } cases[] = {
        {200,
         {10, 2, 130, 26},
         {{10, 10, kDarkRed},
          {49, 25, kDarkRed},
          {50, 10, kDarkGreen},
          {89, 10, kDarkGreen},
          {90, 10, kNavy},
          {129, 2, kNavy},
          {130, 10, kWhite}}},
        {150,
         {0, 0, 90, 18},
         {{1, 9, kDarkRed},
          {28, 17, kDarkRed},
          {45, 0, kDarkGreen},
          {61, 9, kNavy},
          {89, 9, kNavy},
          {90, 9, kWhite}}},
    };
    for (const auto& c : cases) {
        m_manager.SetDisplayScale(c.percent);
        for (const bool layered : {false, true}) {
            m_manager.SetLayered(layered);
            PaintSurface surface(140, 30);
            ASSERT_TRUE(Draw(surface, c.control, L"file='Test\\scaled.png' corner='20,0,20,0'"));
            for (const Probe& p : c.probes) {
                EXPECT_EQ(surface.Rgb(p.x, p.y), p.color & 0xFFFFFFu)
                    << c.percent << " %, layered " << layered << ", at " << p.x << "," << p.y;
            }
        }
    }
}

// A button strip's frames are cut in pixels of the 100 % image. A frame three pixels wide is 4.5
// pixels at 150 %: its neighbour's colour must not seep in.
TEST_F(RenderEngineTest, StripFramesKeepToThemselvesAtInBetweenScales) {
    m_manager.SetDisplayScale(150);
    PaintSurface surface(10, 10);
    ASSERT_TRUE(Draw(surface, {0, 0, 5, 6}, L"file='Test\\strip.png' source='3,0,6,4'"));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(surface.Rgb(x, y), kBlue & 0xFFFFFFu) << x << "," << y;
        }
    }
    EXPECT_EQ(surface.Rgb(5, 0), 0xFFFFFFu);
}

// Without a twin the image itself is enlarged; a missing variant is not an error.
TEST_F(RenderEngineTest, AnImageWithoutTwinIsEnlarged) {
    m_manager.SetDisplayScale(150);
    PaintSurface surface(20, 20);
    for (int pass = 0; pass < 2; ++pass) {
        surface.Fill(0xFFFFFFFF);
        ASSERT_TRUE(Draw(surface, {0, 0, 15, 15}, L"file='Test\\blue.png'")) << "pass " << pass;
        EXPECT_EQ(surface.CountChanged({0, 0, 15, 15}, kBlue), 0);
        EXPECT_EQ(surface.Rgb(15, 15), 0xFFFFFFu);
    }
    m_manager.SetDisplayScale(100);
    surface.Fill(0xFFFFFFFF);
    ASSERT_TRUE(Draw(surface, {0, 0, 15, 15}, L"file='Test\\scaled.png'"));
    EXPECT_EQ(surface.Rgb(0, 0), kRed & 0xFFFFFFu) << "back at 100 %, the image itself";
}

}  // namespace
}  // namespace tessel
