#include "engine/SilentCommandLine.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(SilentCommandLineTest, FirstInstallationWithBothBoxesOnEnglish) {
    SilentInstallOptions options;
    options.installFolder = L"C:\\Program Files (x86)\\Tessel Assistant\\";
    options.autoRun = true;
    options.desktopShortcut = true;
    options.language = ProductLanguageFor(0x0409);
    EXPECT_EQ(FormatSilentCommandLine(options),
              L"\"C:\\Program Files (x86)\\Tessel Assistant\\\" 1 1 1 \"Install\" 1 0 1");
}

TEST(SilentCommandLineTest, ClearedBoxesAndOtherLanguages) {
    SilentInstallOptions options;
    options.installFolder = L"D:\\Apps\\Tessel Assistant";
    options.language = ProductLanguageFor(0x0804);
    EXPECT_EQ(FormatSilentCommandLine(options),
              L"\"D:\\Apps\\Tessel Assistant\" 0 0 1 \"Install\" 1 0 0");
    options.language = ProductLanguageFor(0x0404);
    EXPECT_EQ(FormatSilentCommandLine(options).substr(FormatSilentCommandLine(options).size() - 2),
              L" 4");
}

TEST(SilentCommandLineTest, LanguageNumbers) {
    EXPECT_EQ(ProductLanguageFor(0x0804), ProductLanguage::SimplifiedChinese);
    EXPECT_EQ(ProductLanguageFor(0x0404), ProductLanguage::TraditionalChinese);
    for (const uint16_t other : {0x0409, 0x0C04, 0x0411, 0x1004, 0x0000, 0xFFFF}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(ProductLanguageFor(other), ProductLanguage::English);
    }
}

TEST(SilentCommandLineTest, LongFoldersAreNeverTruncated) {
    SilentInstallOptions options;
    options.installFolder = L"C:\\" + std::wstring(400, L'x') + L"\\";
    const std::wstring line = FormatSilentCommandLine(options);
    const std::wstring tail = L" 0 0 1 \"Install\" 1 0 1";
    EXPECT_EQ(line.size(), options.installFolder.size() + 2 + tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
}

}  // namespace
}  // namespace tessel
