#include "ui/NinePiece.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/ui/GeometryPrinters.h"
#include "ui/PixelOps.h"

namespace tessel {
namespace {

std::vector<BlitPiece> Pieces(const NinePieceInput& input) {
    std::vector<BlitPiece> pieces;
    ForEachNinePiece(input, [&](const BlitPiece& p) { pieces.push_back(p); });
    return pieces;
}

long long Area(const UiRect& r) {
    return static_cast<long long>(r.Width()) * r.Height();
}

TEST(NinePieceTest, CornersKeepTheirSizeAndPiecesTileTheDestination) {
    NinePieceInput in;
    in.dest = {10, 10, 210, 22};
    in.paint = {0, 0, 1000, 1000};
    in.image = {60, 12};
    in.source = {0, 0, 60, 12};
    in.corners = {20, 0, 20, 0};
    const auto pieces = Pieces(in);
    ASSERT_EQ(pieces.size(), 3u);  // middle, left, right
    EXPECT_EQ(pieces[0].dest, (UiRect{30, 10, 190, 22}));
    EXPECT_EQ(pieces[1].dest.Width(), 20);
    EXPECT_EQ(pieces[1].source, (UiRect{0, 0, 20, 12}));
    EXPECT_EQ(pieces[2].dest, (UiRect{190, 10, 210, 22}));
    EXPECT_EQ(pieces[2].source, (UiRect{40, 0, 60, 12}));
}

// A fill shorter than its two 20-pixel caps (a progress bar at a few percent) shows both caps,
// squeezed in proportion, and nothing outside itself.
TEST(NinePieceTest, NarrowDestinationSharesItsWidthBetweenTheCorners) {
    NinePieceInput in;
    in.paint = {0, 0, 1000, 1000};
    in.image = {60, 12};
    in.source = {0, 0, 60, 12};
    in.corners = {20, 0, 20, 0};
    for (const int width : {1, 6, 19, 39}) {
        SCOPED_TRACE(width);
        in.dest = UiRect::FromXYWH(45, 390, width, 12);
        const auto pieces = Pieces(in);
        long long covered = 0;
        for (const BlitPiece& p : pieces) {
            EXPECT_EQ(p.dest.Intersect(in.dest), p.dest);
            covered += Area(p.dest);
        }
        EXPECT_EQ(covered, Area(in.dest)) << "the whole fill is drawn";
        ASSERT_FALSE(pieces.empty());
        EXPECT_EQ(pieces.back().source, (UiRect{40, 0, 60, 12})) << "the right cap comes last";
        EXPECT_EQ(pieces.back().dest.right, in.dest.right);
        if (width > 1) {
            EXPECT_EQ(pieces.front().source, (UiRect{0, 0, 20, 12})) << "and the left one first";
            EXPECT_EQ(pieces.front().dest.Width(), width / 2);
        }
    }
}

// For generated descriptions, malformed ones included: every piece reads inside the image and
// writes inside the destination, pieces never overlap, and a description that fits covers the
// destination exactly.
TEST(NinePieceTest, PiecesStayInsideImageAndDestination) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        NinePieceInput in;
        in.image = {1 + static_cast<int>(rng() % 40), 1 + static_cast<int>(rng() % 40)};
        const UiRect requested{static_cast<int>(rng() % 50) - 5, static_cast<int>(rng() % 50) - 5,
                               static_cast<int>(rng() % 60), static_cast<int>(rng() % 60)};
        in.source = ClampImageSource(rng() % 4 == 0 ? UiRect{} : requested, in.image);
        in.corners = {static_cast<int>(rng() % 12), static_cast<int>(rng() % 12),
                      static_cast<int>(rng() % 12), static_cast<int>(rng() % 12)};
        in.dest = UiRect::FromXYWH(static_cast<int>(rng() % 20), static_cast<int>(rng() % 20),
                                   static_cast<int>(rng() % 80), static_cast<int>(rng() % 80));
        in.paint = {0, 0, 200, 200};
        in.xTiled = rng() % 3 == 0;
        in.yTiled = rng() % 3 == 0;
        const auto pieces = Pieces(in);
        const UiRect& c = in.corners;
        const bool fits = c.left + c.right < in.source.Width() &&
                          c.top + c.bottom < in.source.Height() &&
                          c.left + c.right < in.dest.Width() && c.top + c.bottom < in.dest.Height();
        long long covered = 0;
        for (size_t i = 0; i < pieces.size(); ++i) {
            const BlitPiece& p = pieces[i];
            ASSERT_GE(p.source.left, 0);
            ASSERT_GE(p.source.top, 0);
            ASSERT_LE(p.source.right, in.image.cx);
            ASSERT_LE(p.source.bottom, in.image.cy);
            ASSERT_FALSE(p.source.IsEmpty());
            ASSERT_EQ(p.dest.Intersect(in.dest), p.dest);
            for (size_t j = 0; j < i && fits; ++j) {
                ASSERT_FALSE(p.dest.Intersects(pieces[j].dest));
            }
            covered += Area(p.dest);
        }
        if (fits && !in.source.IsEmpty()) {
            EXPECT_EQ(covered, Area(in.dest));
        }
    }
}

TEST(NinePieceTest, TilesRepeatAndTheLastOneIsCutNotSqueezed) {
    NinePieceInput in;
    in.dest = {0, 0, 25, 10};
    in.paint = {0, 0, 100, 100};
    in.image = {10, 10};
    in.source = {0, 0, 10, 10};
    in.xTiled = true;
    in.yTiled = true;
    const auto pieces = Pieces(in);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[2].dest, (UiRect{20, 0, 25, 10}));
    EXPECT_EQ(pieces[2].source, (UiRect{0, 0, 5, 10}));
    for (const auto& p : pieces) {
        EXPECT_EQ(p.dest.Width(), p.source.Width());
    }
}

TEST(NinePieceTest, OnlyTilesThatMeetThePaintRectangleAreVisited) {
    NinePieceInput in;
    in.dest = {0, 0, 1000000, 1000000};
    in.paint = {500, 500, 503, 502};
    in.image = {1, 1};
    in.source = {0, 0, 1, 1};
    in.xTiled = true;
    in.yTiled = true;
    EXPECT_EQ(Pieces(in).size(), 6u);
}

TEST(NinePieceTest, SourceAndDestinationAreCut) {
    EXPECT_EQ(ClampImageSource({0, 0, 500, 20}, {240, 40}), (UiRect{0, 0, 240, 20}));
    EXPECT_EQ(ClampImageSource({}, {240, 40}), (UiRect{0, 0, 240, 40}));
    EXPECT_EQ(ClampImageSource({-5, 300, 10, 500}, {240, 40}), (UiRect{0, 40, 10, 40}));
    EXPECT_EQ(ImageDestination({100, 100, 150, 120}, {0, 3, 16, 19}), (UiRect{100, 103, 116, 119}));
    EXPECT_EQ(ImageDestination({100, 100, 150, 120}, {10, 0, 90, 90}),
              (UiRect{110, 100, 150, 120}));
    EXPECT_EQ(ImageDestination({100, 100, 150, 120}, {}), (UiRect{100, 100, 150, 120}));
}

TEST(PixelOpsTest, PremultipliesTranslucentPixelsAndMasks) {
    const uint8_t rgba[] = {
        200, 100, 50,  255,  // opaque: copied
        200, 100, 50,  128,  // translucent: premultiplied
        255, 0,   255, 255,  // the mask colour
        0,   0,   0,   0,    // transparent
    };
    uint32_t out[4] = {};
    EXPECT_TRUE(ConvertRgbaToPremultiplied(rgba, out, 0xFFFF00FF));
    EXPECT_EQ(out[0], 0xFFC86432u);
    EXPECT_EQ(out[1], (128u << 24) | ((200u * 128 / 255) << 16) | ((100u * 128 / 255) << 8) |
                          (50u * 128 / 255));
    EXPECT_EQ(out[2], 0u);
    EXPECT_EQ(out[3], 0u);

    const uint8_t opaque[] = {1, 2, 3, 255};
    uint32_t one = 0;
    EXPECT_FALSE(ConvertRgbaToPremultiplied(opaque, std::span<uint32_t>(&one, 1), 0));
}

TEST(PixelOpsTest, BlendMatchesSourceOver) {
    uint32_t dest[3] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
    const uint32_t source[3] = {0xFFFF0000, 0x00000000, 0x80800000};
    BlendPremultiplied(source, dest, 255);
    EXPECT_EQ(dest[0], 0xFFFF0000u);
    EXPECT_EQ(dest[1], 0xFFFFFFFFu);
    EXPECT_EQ(dest[2], 0xFF800000u);
    uint32_t half[1] = {0xFFFFFFFF};
    const uint32_t red[1] = {0xFFFF0000};
    BlendPremultiplied(red, half, 128);
    EXPECT_NEAR(((half[0] >> 8) & 0xFF), 127, 1);
    EXPECT_EQ((half[0] >> 16) & 0xFF, 255u);
}

TEST(PixelOpsTest, GdiPixelsBecomeOpaqueExceptBlack) {
    uint32_t pixels[3] = {0x00123456, 0x00000000, 0x80101010};
    MakeGdiPixelsOpaque(pixels);
    EXPECT_EQ(pixels[0], 0xFF123456u);
    EXPECT_EQ(pixels[1], 0u);
    EXPECT_EQ(pixels[2], 0x80101010u);
}

}  // namespace
}  // namespace tessel
