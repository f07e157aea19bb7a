// The skin-preview command as a user runs it: a real process writing a real PNG.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TestProcess.h"
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
    std::wstring m_folder = MakeTempFolder(L"skin-preview");
};

TEST_F(SkinPreviewToolTest, WritesTheInstallWindowAsAValidPng) {
    const std::wstring out = m_folder + L"\\page1.png";
    ASSERT_EQ(Preview(L"WndInstall.xml --lang EN --page 1 --progress 30 --out \"" + out + L"\""),
              0);
    const std::vector<uint8_t> png = ReadFile(out);
    const auto image = DecodeImage(png);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 730);
    EXPECT_EQ(image->height, 498);
    EXPECT_EQ(image->rgba[3], 0) << "transparent corner";
    const size_t card = (300u * 730u + 100u) * 4u;
    EXPECT_EQ(image->rgba[card + 3], 255) << "opaque card";
}

// At a display scale the window is drawn as on a monitor of that scale: 150 % of 730 x 498, the
// corners still transparent; the message box keeps its minimum at the scale.
TEST_F(SkinPreviewToolTest, DrawsAtTheScaleAsked) {
    const std::wstring out = m_folder + L"\\page0-150.png";
    ASSERT_EQ(Preview(L"WndInstall.xml --lang EN --page 0 --scale 150 --out \"" + out + L"\""), 0);
    const auto image = DecodeImage(ReadFile(out));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 1095);
    EXPECT_EQ(image->height, 747);
    EXPECT_EQ(image->rgba[3], 0) << "transparent corner";
    const size_t card = (450u * 1095u + 150u) * 4u;
    EXPECT_EQ(image->rgba[card + 3], 255) << "opaque card";

    const std::wstring box = m_folder + L"\\box-200.png";
    ASSERT_EQ(Preview(L"MessageBox.xml --text Hi --scale 200 --out \"" + box + L"\""), 0);
    const auto boxImage = DecodeImage(ReadFile(box));
    ASSERT_TRUE(boxImage.has_value());
    EXPECT_EQ(boxImage->width, 684);
    EXPECT_EQ(boxImage->height, 404);
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
