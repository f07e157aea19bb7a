// The preview's pure parts: PNG writing, premultiplied-to-straight conversion, the command line,
// and the message box's geometry rules.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/MessageBoxLayout.h"
#include "skin/preview/PngEncoder.h"
#include "skin/preview/PreviewOptions.h"
#include "ui/ImageDecoder.h"
#include "ui/PixelOps.h"

namespace tessel {
namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

TEST(PngEncoderTest, DecodesBackToTheSamePixels) {
    const int width = 7;  // odd, so rows are not a power of two long
    const int height = 5;
    std::vector<uint8_t> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgba.insert(rgba.end(),
                        {static_cast<uint8_t>(x * 37), static_cast<uint8_t>(y * 51),
                         static_cast<uint8_t>(255 - x * y), static_cast<uint8_t>(x * 40)});
        }
    }
    const std::vector<uint8_t> png = EncodePng(width, height, rgba);
    const auto decoded = DecodeImage(png);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->width, width);
    EXPECT_EQ(decoded->height, height);
    EXPECT_EQ(decoded->rgba, rgba);
}

TEST(PngEncoderTest, EveryChunkCarriesItsChecksum) {
    const std::vector<uint8_t> rgba(3 * 2 * 4, 0x80);
    const std::vector<uint8_t> png = EncodePng(3, 2, rgba);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    std::vector<std::string> types;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = BigEndian32(&png[at]);
        ASSERT_LE(at + 12 + length, png.size());
        types.emplace_back(reinterpret_cast<const char*>(&png[at + 4]), 4);
        const uLong crc = crc32(0, &png[at + 4], length + 4);
        EXPECT_EQ(BigEndian32(&png[at + 8 + length]), static_cast<uint32_t>(crc)) << types.back();
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size()) << "nothing after IEND";
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_EQ(png[8 + 8 + 8], 8) << "bit depth";
    EXPECT_EQ(png[8 + 8 + 9], 6) << "colour type RGBA";
}

TEST(PngEncoderTest, RefusesSizesThatDoNotMatchThePixels) {
    const std::vector<uint8_t> rgba(16, 0);
    EXPECT_TRUE(EncodePng(0, 4, rgba).empty());
    EXPECT_TRUE(EncodePng(2, 3, rgba).empty());
    EXPECT_TRUE(EncodePng(-2, -2, rgba).empty());
    EXPECT_FALSE(EncodePng(2, 2, rgba).empty());
}

TEST(PremultipliedToRgbaTest, UndoesPremultiplication) {
    struct Case {
        uint32_t premultiplied;
        std::vector<uint8_t> straight;
    };
    const Case cases[] = {
        {0x00000000u, {0, 0, 0, 0}},
        {0x00FFFFFFu, {0, 0, 0, 0}},  // colour without coverage: nothing to show
        {0xFF123456u, {0x12, 0x34, 0x56, 0xFF}},
        {0x80800000u, {255, 0, 0, 0x80}},  // half-covered pure red
        {0x40202020u, {128, 128, 128, 0x40}},
        {0x10FF8000u, {255, 255, 0, 0x10}},  // colour above alpha is clamped, not wrapped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.premultiplied);
        const uint32_t pixel[] = {c.premultiplied};
        EXPECT_EQ(PremultipliedToRgba(pixel), c.straight);
    }
}

TEST(PremultipliedToRgbaTest, RoundTripsThroughThePremultipliedImageFormat) {
    // Every alpha with a spread of colours: the loader premultiplies, the writer undoes it; the
    // error can only come from the loader's truncation and must stay within one step of 255/a.
    for (int a = 1; a < 256; ++a) {
        for (int c = 0; c < 256; c += 17) {
            const uint8_t rgba[] = {static_cast<uint8_t>(c), static_cast<uint8_t>(255 - c), 0,
                                    static_cast<uint8_t>(a)};
            uint32_t premultiplied = 0;
            ConvertRgbaToPremultiplied(rgba, std::span<uint32_t>(&premultiplied, 1), 0);
            const std::vector<uint8_t> back = PremultipliedToRgba(std::span(&premultiplied, 1));
            const int tolerance = 255 / a + 1;
            ASSERT_NEAR(back[0], c, tolerance) << "alpha " << a;
            ASSERT_NEAR(back[1], 255 - c, tolerance) << "alpha " << a;
            ASSERT_EQ(back[3], a);
        }
    }
}

TEST(PreviewOptionsTest, ReadsEveryOption) {
    const std::vector<std::wstring> arguments = {
        L"MessageBox.xml", L"--lang",   L"cn",      L"--out",      L"box.png",     L"--text",
        L"lan_106",        L"--arg",    L"-3",      L"--caption",  L"lan_102",     L"--skin",
        L"skin.zip",       L"--page",   L"2",       L"--hide",     L"btn_RunNow",  L"--show",
        L"btn_Confirm",    L"--hover",  L"Button1", L"--progress", L"40",          L"--folder",
        L"D:\\Apps",       L"--status", L"lan_107", L"--disable",  L"btn_Install", L"--unselect",
        L"chkbx_Agree",    L"--scale",  L"175"};
    const PreviewArgumentsResult result = ParsePreviewArguments(arguments);
    ASSERT_TRUE(result.options.has_value())
        << std::string(result.error.begin(), result.error.end());
    const PreviewOptions& o = *result.options;
    EXPECT_EQ(o.markup, L"MessageBox.xml");
    EXPECT_EQ(o.language, L"CN");
    EXPECT_EQ(o.output, L"box.png");
    EXPECT_EQ(o.messageText, L"lan_106");
    EXPECT_EQ(o.formatArgument, -3);
    EXPECT_EQ(o.caption, L"lan_102");
    EXPECT_EQ(o.skinArchive, L"skin.zip");
    EXPECT_EQ(o.page, 2);
    ASSERT_EQ(o.visibility.size(), 2u);
    EXPECT_EQ(o.visibility[0], std::make_pair(std::wstring(L"btn_RunNow"), false));
    EXPECT_EQ(o.visibility[1], std::make_pair(std::wstring(L"btn_Confirm"), true));
    EXPECT_EQ(o.hovered, std::vector<std::wstring>{L"Button1"});
    EXPECT_EQ(o.progress, 40);
    EXPECT_EQ(o.folder, L"D:\\Apps");
    EXPECT_EQ(o.status, L"lan_107");
    EXPECT_EQ(o.disabled, std::vector<std::wstring>{L"btn_Install"});
    EXPECT_EQ(o.unselected, std::vector<std::wstring>{L"chkbx_Agree"});
    EXPECT_EQ(o.scale, 175);
}

TEST(PreviewOptionsTest, RejectsIncompleteOrUnknownArguments) {
    const std::vector<std::vector<std::wstring>> bad = {
        {},
        {L"--out", L"x.png"},           // no markup
        {L"WndInstall.xml"},            // no output
        {L"WndInstall.xml", L"--out"},  // option without value
        {L"WndInstall.xml", L"--out", L"x.png", L"--lang", L"FR"},
        {L"WndInstall.xml", L"--out", L"x.png", L"--page", L"one"},
        {L"WndInstall.xml", L"--out", L"x.png", L"--page", L"1x"},
        {L"WndInstall.xml", L"--out", L"x.png", L"--colour", L"red"},
        {L"WndInstall.xml", L"MessageBox.xml", L"--out", L"x.png"},
        {L"WndInstall.xml", L"--out", L"x.png", L"--scale", L"99"},
        {L"WndInstall.xml", L"--out", L"x.png", L"--scale", L"501"},
        {L"WndInstall.xml", L"--out", L"x.png", L"--scale", L"150%"},
    };
    for (const auto& arguments : bad) {
        SCOPED_TRACE(arguments.size());
        const PreviewArgumentsResult result = ParsePreviewArguments(arguments);
        EXPECT_FALSE(result.options.has_value());
        EXPECT_FALSE(result.error.empty());
    }
}

TEST(PreviewOptionsTest, FillsTheFirstFormatArgument) {
    EXPECT_EQ(FillFormatArgument(L"Error Code: %d", 1603), L"Error Code: 1603");
    EXPECT_EQ(FillFormatArgument(L"components... %s", 7), L"components... 7");
    EXPECT_EQ(FillFormatArgument(L"%d and %d", 1), L"1 and %d");
    EXPECT_EQ(FillFormatArgument(L"no argument", 1), L"no argument");
    EXPECT_EQ(LanguageFileForCode(L"tc"), L"lan_tc.xml");
    EXPECT_EQ(LanguageFileForCode(L"ZH"), L"");
}

TEST(MessageBoxLayoutTest, GrowsInWidthWithItsTextAndKeepsItsMinimum) {
    const UiRect padding{10, 0, 10, 0};
    EXPECT_EQ(MessageBoxClientSize({41, 0}, padding), (UiSize{342, 202})) << "empty text";
    EXPECT_EQ(MessageBoxClientSize({322, 0}, padding), (UiSize{342, 202})) << "exactly the minimum";
    EXPECT_EQ(MessageBoxClientSize({323, 0}, padding), (UiSize{343, 202}));
    EXPECT_EQ(MessageBoxClientSize({1500, 0}, padding), (UiSize{1520, 202}))
        << "wider than the screen rather than wrapping";
    EXPECT_EQ(MessageBoxClientSize({100, 120}, padding), (UiSize{342, 235}));
    EXPECT_EQ(MessageBoxClientSize({100, 5000}, padding), (UiSize{342, 715})) << "height limited";
    // At 150 % the minimum, the chrome and the height limit are scaled like everything else.
    EXPECT_EQ(MessageBoxClientSize({41, 0}, {15, 0, 15, 0}, 150), (UiSize{513, 303}));
    EXPECT_EQ(MessageBoxClientSize({100, 5000}, {15, 0, 15, 0}, 150), (UiSize{513, 1073}));
}

TEST(MessageBoxLayoutTest, CentresTheButtonTruncatingEachHalf) {
    EXPECT_EQ(CentredButtonLeft(342, 98), 122);
    EXPECT_EQ(CentredButtonLeft(343, 98), 122);
    EXPECT_EQ(CentredButtonLeft(344, 97), 124);
    EXPECT_EQ(CentredButtonLeft(500, 98), 201);
}

}  // namespace
}  // namespace tessel
