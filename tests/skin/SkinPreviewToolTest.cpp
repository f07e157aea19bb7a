// The skin-preview command as a user runs it: a real process writing a real PNG.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TestProcess.h"
#include "ui/Geometry.h"
#include "ui/ImageDecoder.h"

namespace tessel {
namespace {

using testing_support::FromBuildPath;
using testing_support::MakeTempFolder;
using testing_support::RunProcess;

std::vector<uint8_t> ReadFile(const std::wstring& path) {
    std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SkinPreviewToolTest : public testing::Test {
protected:
    long Preview(const std::wstring& arguments) {
        return RunProcess(L"\"" + FromBuildPath(TESSEL_SKIN_PREVIEW) + L"\" " + arguments);
    }
    // The picture the preview writes for `arguments` into `file` of the test's folder; nothing
    // when the preview fails or the file is no image.
    std::optional<DecodedImage> Render(const std::wstring& arguments, const std::wstring& file) {
        const std::wstring out = m_folder + L"\\" + file;
        if (Preview(arguments + L" --out \"" + out + L"\"") != 0) {
            return std::nullopt;
        }
        return DecodeImage(ReadFile(out));
    }
    // An install window picture: its size, a transparent corner and an opaque card at `card`.
    static void ExpectInstallWindow(const DecodedImage& image, UiSize size, UiPoint card) {
        EXPECT_EQ(image.width, size.cx);
        EXPECT_EQ(image.height, size.cy);
        EXPECT_EQ(image.rgba[3], 0) << "transparent corner";
        const size_t at = (static_cast<size_t>(card.y) * image.width + card.x) * 4u;
        EXPECT_EQ(image.rgba[at + 3], 255) << "opaque card";
    }
    std::wstring m_folder = MakeTempFolder(L"skin-preview");
};

TEST_F(SkinPreviewToolTest, WritesTheInstallWindowAsAValidPng) {
    const auto image = Render(L"WndInstall.xml --lang EN --page 1 --progress 30", L"page1.png");
    ASSERT_TRUE(image.has_value());
    ExpectInstallWindow(*image, {730, 498}, {100, 300});
}

// At a display scale the window is drawn as on a monitor of that scale: 150 % of 730 x 498, the
// corners still transparent; the message box keeps its minimum at the scale.
TEST_F(SkinPreviewToolTest, DrawsAtTheScaleAsked) {
    const auto image = Render(L"WndInstall.xml --lang EN --page 0 --scale 150", L"page0-150.png");
    ASSERT_TRUE(image.has_value());
    ExpectInstallWindow(*image, {1095, 747}, {150, 450});

    const auto box = Render(L"MessageBox.xml --text Hi --scale 200", L"box-200.png");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->width, 684);
    EXPECT_EQ(box->height, 404);
}

TEST_F(SkinPreviewToolTest, SizesTheMessageBoxToItsText) {
    const std::wstring out = m_folder + L"\\box.png";
    ASSERT_EQ(Preview(L"MessageBox.xml --skin \"" + FromBuildPath(TESSEL_SKIN_ARCHIVE) +
                      L"\" --text lan_106 --arg 1603 --caption lan_102 --out \"" + out + L"\""),
              0);
    const auto image = DecodeImage(ReadFile(out));
    ASSERT_TRUE(image.has_value());
    EXPECT_GT(image->width, 342);
    EXPECT_EQ(image->height, 202);
}

TEST_F(SkinPreviewToolTest, FailsWithUsageOrMissingParts) {
    const std::wstring out = m_folder + L"\\none.png";
    EXPECT_EQ(Preview(L"WndInstall.xml"), 1) << "no output";
    EXPECT_EQ(Preview(L"WndInstall.xml --lang XX --out \"" + out + L"\""), 1);
    EXPECT_EQ(Preview(L"Missing.xml --out \"" + out + L"\""), 2);
    EXPECT_EQ(Preview(L"WndInstall.xml --page 3 --out \"" + out + L"\""), 2) << "three pages";
    EXPECT_EQ(Preview(L"WndInstall.xml --scale 50 --out \"" + out + L"\""), 1) << "below 100 %";
    EXPECT_EQ(Preview(L"WndInstall.xml --skin no-such.zip --out \"" + out + L"\""), 2);
    EXPECT_EQ(Preview(L"MessageBox.xml --hide nothing --out \"" + out + L"\""), 2);
    EXPECT_TRUE(ReadFile(out).empty()) << "nothing written on failure";
}

}  // namespace
}  // namespace tessel
