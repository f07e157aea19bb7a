// The images decoded ahead while a window is made: the file the scale draws from is chosen as the
// resource cache would choose it, a file of another scale comes resized, and each is taken once.
// The prefetch is process-wide and starts once, so this program has one test of it.
#include "ui/ImagePrefetch.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/UiTestSupport.h"

namespace tessel {
namespace {

using testing_support::MakeBandsPng;
using testing_support::TestPackage;

TEST(ImagePrefetchTest, DecodesAheadAndHandsEachImageOutOnce) {
    TestPackage package;
    package.Add("pf/twin.png", MakeBandsPng({0xFF102030}, 4, 2));
    package.Add("pf/twin@200.png", MakeBandsPng({0xFF405060}, 8, 4));
    package.Add("pf/single.png", MakeBandsPng({0xFF708090}, 3, 3));
    package.Add("pf/broken.png", "not an image");
    package.Open();
    const std::wstring names[] = {L"pf\\twin.png", L"pf\\single.png", L"pf\\broken.png",
                                  L"pf\\missing.png"};
    ImagePrefetch::Start(names, 150);

    // At 150 % the twin is resized from its twice-size file: 6 x 3, premultiplied.
    const auto twin = ImagePrefetch::TakeResized(L"pf\\twin.png", 150);
    ASSERT_TRUE(twin.has_value());
    EXPECT_EQ(twin->size, (UiSize{6, 3}));
    ASSERT_EQ(twin->pixels.size(), 18u);
    EXPECT_EQ(twin->pixels[0], 0xFF405060u);
    EXPECT_FALSE(twin->hasAlpha);
    EXPECT_FALSE(ImagePrefetch::TakeResized(L"pf\\twin.png", 150).has_value()) << "once";
    EXPECT_FALSE(ImagePrefetch::Take(L"pf\\twin@200.png").has_value())
        << "only its resized form is kept";
    EXPECT_FALSE(ImagePrefetch::TakeResized(L"pf\\twin.png", 200).has_value()) << "another scale";

    // Without a twin the image itself is enlarged.
    const auto single = ImagePrefetch::TakeResized(L"pf\\single.png", 150);
    ASSERT_TRUE(single.has_value());
    EXPECT_EQ(single->size, (UiSize{5, 5}));
    EXPECT_EQ(single->pixels[24], 0xFF708090u);
    EXPECT_FALSE(ImagePrefetch::Take(L"pf\\single.png").has_value());

    EXPECT_FALSE(ImagePrefetch::Take(L"pf\\broken.png").has_value()) << "not decodable";
    EXPECT_FALSE(ImagePrefetch::Take(L"pf\\missing.png").has_value());

    // Started once per process: a second start changes nothing.
    const std::wstring again[] = {L"pf\\single.png"};
    ImagePrefetch::Start(again, 100);
    EXPECT_FALSE(ImagePrefetch::Take(L"pf\\single.png").has_value());
    EXPECT_FALSE(ImagePrefetch::TakeResized(L"pf\\single.png", 150).has_value());
}

}  // namespace
}  // namespace tessel
