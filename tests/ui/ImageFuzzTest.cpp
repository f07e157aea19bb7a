#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "tests/ui/UiTestSupport.h"
#include "ui/ImageDecoder.h"
#include "ui/PaintManagerUI.h"
#include "ui/PixelOps.h"
#include "ui/RenderEngine.h"

namespace tessel {
namespace {

// Mutated images must decode to nothing or to a consistent picture, never crash.
TEST(ImageFuzzTest, MutatedImagesDecodeOrFailCleanly) {
    const std::string seeds[] = {
        testing_support::MakeBandsPng({0xFFFF0000, 0x8000FF00, 0x000000FF}, 7, 5),
        testing_support::MakePng(33, 17, [](int x, int y) { return 0xFF000000u | (x * 7 + y); }),
    };
    std::mt19937 rng(99);
    const auto start = std::chrono::steady_clock::now();
    int decoded = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = seeds[round % 2];
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            const size_t pos = rng() % bytes.size();
            switch (rng() % 3) {
                case 0:
                    bytes[pos] = static_cast<char>(rng());
                    break;
                case 1:
                    bytes.resize(pos);
                    break;
                default:
                    bytes.insert(pos, 1 + rng() % 8, static_cast<char>(rng()));
                    break;
            }
        }
        const auto image = DecodeImage(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        if (!image) {
            continue;
        }
        ++decoded;
        ASSERT_GT(image->width, 0);
        ASSERT_LE(image->width, kMaxImageDimension);
        ASSERT_EQ(image->rgba.size(), static_cast<size_t>(image->width) * image->height * 4);
        std::vector<uint32_t> pixels(static_cast<size_t>(image->width) * image->height);
        ConvertRgbaToPremultiplied(image->rgba, pixels, 0);
    }
    EXPECT_GT(decoded, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

// The skin's images are PNG; other formats (here a whole 1x1 BMP) are not images to the framework.
TEST(ImageFuzzTest, OnlyPngIsDecoded) {
    const std::string png = testing_support::MakeBandsPng({0xFFFF0000}, 1, 1);
    const auto bytes = [](const std::string& s) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    };
    EXPECT_TRUE(DecodeImage(bytes(png)).has_value());
    const std::string bmp(
        "BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0"
        "\x01\0\x18\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
        "\0\0\0\0\0\0\xff\0",
        58);
    EXPECT_FALSE(DecodeImage(bytes(bmp)).has_value());
}

// Descriptions drawn from random keys and numbers (negative, huge, inverted) draw inside the
// control or not at all.
TEST(ImageFuzzTest, RandomDescriptionsDrawOnlyInsideTheControl) {
    testing_support::TestPackage package;
    package.Add("a.png", testing_support::MakeBandsPng({0xFFFF0000, 0x80FF0000}, 5, 9));
    package.Open();
    CPaintManagerUI manager;
    testing_support::PaintSurface surface(64, 64);
    std::mt19937 rng(5);
    const auto number = [&] {
        const int pick = static_cast<int>(rng() % 6);
        return pick == 0   ? -static_cast<int>(rng() % 100)
               : pick == 1 ? 2000000000
                           : static_cast<int>(rng() % 40);
    };
    const auto rect = [&] {
        return std::to_wstring(number()) + L"," + std::to_wstring(number()) + L"," +
               std::to_wstring(number()) + L"," + std::to_wstring(number());
    };
    const UiRect control{16, 16, 48, 48};
    for (int round = 0; round < 3000; ++round) {
        std::wstring description = L"file='a.png'";
        const wchar_t* keys[] = {L"dest", L"source", L"corner"};
        for (const wchar_t* key : keys) {
            if (rng() % 2 == 0) {
                description += std::wstring(L" ") + key + L"='" + rect() + L"'";
            }
        }
        if (rng() % 3 == 0) {
            description += L" xtiled='true'";
        }
        if (rng() % 3 == 0) {
            description += L" ytiled='true' fade='" + std::to_wstring(number()) + L"'";
        }
        manager.SetLayered(rng() % 2 == 0);
        ImageDrawSpec spec;
        spec.Parse(description, L"");
        surface.Fill(0xFFFFFFFF);
        CRenderEngine::PaintImageSpec(surface.Dc(), &manager, control, surface.Bounds(), spec);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_EQ(surface.CountChanged({0, 0, 64, 16}, 0xFFFFFFFF), 0);
        ASSERT_EQ(surface.CountChanged({0, 48, 64, 64}, 0xFFFFFFFF), 0);
        ASSERT_EQ(surface.CountChanged({0, 16, 16, 48}, 0xFFFFFFFF), 0);
        ASSERT_EQ(surface.CountChanged({48, 16, 64, 48}, 0xFFFFFFFF), 0);
    }
}

}  // namespace
}  // namespace tessel
