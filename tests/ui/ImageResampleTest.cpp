#include "ui/ImageResample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "tests/ui/GeometryPrinters.h"

namespace tessel {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kClear = 0x00000000u;

int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

struct Image {
    UiSize size;
    std::vector<uint32_t> pixels;

    Image(UiSize s, uint32_t fill) : size(s), pixels(static_cast<size_t>(s.cx) * s.cy, fill) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * size.cx + x]; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * size.cx + x]; }
};

Image Resample(const Image& source, const UiRect& from, UiSize to) {
    Image target(to, 0xDEADBEEFu);
    EXPECT_TRUE(ResamplePremultiplied(source.pixels, source.size, from, target.pixels, to));
    return target;
}

TEST(ImageResampleTest, SameSizeCopiesAndFlatAreasStayExact) {
    Image source({5, 3}, kRed);
    source.At(2, 1) = kBlue;
    const Image same = Resample(source, {0, 0, 5, 3}, {5, 3});
    EXPECT_EQ(same.pixels, source.pixels) << "a one-to-one copy changes no pixel";

    const Image flat = Resample(Image({40, 24}, kRed), {0, 0, 40, 24}, {30, 18});
    for (uint32_t p : flat.pixels) {
        ASSERT_EQ(p, kRed) << "a flat colour keeps its exact value at 3/4 (twice-size to 150 %)";
    }
    const Image up = Resample(Image({7, 5}, kBlue), {0, 0, 7, 5}, {11, 8});
    for (uint32_t p : up.pixels) {
        ASSERT_EQ(p, kBlue) << "and when enlarged";
    }
}

// Shrinking averages what a target pixel covers: a one-pixel checker at half size is an even mix,
// not every other source pixel (which nearest-neighbour scaling would give).
TEST(ImageResampleTest, ShrinkingAveragesInsteadOfDroppingPixels) {
    Image checker({8, 8}, kRed);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            if ((x + y) % 2 == 1) {
                checker.At(x, y) = kBlue;
            }
        }
    }
    const Image half = Resample(checker, {0, 0, 8, 8}, {4, 4});
    for (uint32_t p : half.pixels) {
        EXPECT_NEAR(Channel(p, 16), 128, 24);
        EXPECT_NEAR(Channel(p, 0), 128, 24);
        EXPECT_EQ(Channel(p, 24), 255);
    }
}

// Enlarging interpolates: an edge between two colours gets in-between pixels, and the far ends
// keep their colours.
TEST(ImageResampleTest, EnlargingBlendsNeighboursSmoothly) {
    Image edge({2, 1}, kRed);
    edge.At(1, 0) = kBlue;
    const Image wide = Resample(edge, {0, 0, 2, 1}, {8, 1});
    EXPECT_EQ(wide.At(0, 0), kRed);
    EXPECT_EQ(wide.At(7, 0), kBlue);
    int previousRed = 256;
    for (int x = 0; x < 8; ++x) {
        const int red = Channel(wide.At(x, 0), 16);
        EXPECT_LE(red, previousRed) << "red fades monotonically toward the blue end, x = " << x;
        previousRed = red;
    }
    EXPECT_GT(Channel(wide.At(3, 0), 16), 0);
    EXPECT_GT(Channel(wide.At(4, 0), 0), 0);
}

// A state strip's frames sit side by side; resizing one frame must not pick up its neighbour's
// colour, even where the frame edge falls inside a target pixel (odd widths at 150 %).
TEST(ImageResampleTest, OnlyTheAskedPartIsRead) {
    Image strip({6, 4}, kRed);
    for (int y = 0; y < 4; ++y) {
        for (int x = 3; x < 6; ++x) {
            strip.At(x, y) = kBlue;
        }
    }
    for (const UiSize to : {UiSize{2, 3}, UiSize{5, 6}, UiSize{1, 1}}) {
        const Image second = Resample(strip, {3, 0, 6, 4}, to);
        for (uint32_t p : second.pixels) {
            ASSERT_EQ(p, kBlue) << "target " << to.cx << "x" << to.cy;
        }
    }
}

// Transparent pixels carry no colour into their neighbours: the result stays premultiplied (no
// channel above alpha), which the blending that follows relies on.
TEST(ImageResampleTest, PremultipliedEdgesStayPremultiplied) {
    Image dot({4, 4}, kClear);
    dot.At(1, 1) = 0xFFFFFFFFu;
    dot.At(2, 1) = 0x80808080u;
    const Image out = Resample(dot, {0, 0, 4, 4}, {3, 3});
    for (uint32_t p : out.pixels) {
        const int alpha = Channel(p, 24);
        for (int shift : {0, 8, 16}) {
            EXPECT_LE(Channel(p, shift), alpha);
        }
    }
}

TEST(ImageResampleTest, BadRequestsWriteNothing) {
    const Image source({4, 4}, kRed);
    std::vector<uint32_t> target(16, 7u);
    const auto refused = [&](const UiRect& from, UiSize to, size_t targetSize) {
        std::vector<uint32_t> out(targetSize, 7u);
        const bool done = ResamplePremultiplied(source.pixels, source.size, from, out, to);
        return !done && std::all_of(out.begin(), out.end(), [](uint32_t p) { return p == 7u; });
    };
    EXPECT_TRUE(refused({0, 0, 0, 4}, {2, 2}, 4)) << "empty source part";
    EXPECT_TRUE(refused({0, 0, 5, 4}, {2, 2}, 4)) << "part beyond the image";
    EXPECT_TRUE(refused({-1, 0, 2, 2}, {2, 2}, 4)) << "part before the image";
    EXPECT_TRUE(refused({0, 0, 4, 4}, {0, 2}, 4)) << "empty target";
    EXPECT_TRUE(refused({0, 0, 4, 4}, {3, 3}, 8)) << "target shorter than its size";
    EXPECT_FALSE(ResamplePremultiplied(std::span<const uint32_t>(source.pixels).first(15),
                                       source.size, {0, 0, 4, 4}, target, {4, 4}))
        << "source shorter than its size";
}

}  // namespace
}  // namespace tessel
