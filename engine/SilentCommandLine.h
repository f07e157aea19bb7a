#pragma once

#include <cstdint>
#include <string>

namespace tessel {

// The silent installer's argument text: eight blank-separated fields,
//
//   "<folder>" <autoRun> <desktopShortcut> <reportExtraction> "<channel>" <firstInstall>
//   <startProduct> <language>
//
// The folder must stay the first field: the silent installer splits with CommandLineToArgvW rules,
// under which the first field is taken literally, so it may end with a backslash. No later quoted
// field may end with one (the channel name never does).

inline constexpr char kProgressChannelName[] = "Install";

// Language numbers the silent installer uses to name shortcuts and the uninstaller.
enum class ProductLanguage : int { SimplifiedChinese = 0, English = 1, TraditionalChinese = 4 };

struct SilentInstallOptions {
    std::wstring installFolder;
    bool autoRun = false;
    bool desktopShortcut = false;
    bool reportExtraction = true;
    std::string channelName = kProgressChannelName;
    bool firstInstall = true;
    bool startProduct = false;
    ProductLanguage language = ProductLanguage::English;
};

// 0x0804 gives simplified Chinese, 0x0404 traditional Chinese, every other language English.
ProductLanguage ProductLanguageFor(uint16_t userInterfaceLanguage);

// The whole argument text, never truncated. The channel name is plain ASCII and widened byte by
// byte.
std::wstring FormatSilentCommandLine(const SilentInstallOptions& options);

}  // namespace tessel
