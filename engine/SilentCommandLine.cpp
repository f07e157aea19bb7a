#include "engine/SilentCommandLine.h"

namespace tessel {
namespace {

constexpr uint16_t kLangSimplifiedChinese = 0x0804;
constexpr uint16_t kLangTraditionalChinese = 0x0404;

void AppendQuoted(std::wstring& out, const std::wstring& text) {
    out += L'"';
    out += text;
    out += L'"';
}

void AppendNumber(std::wstring& out, int value) {
    out += L' ';
    out += std::to_wstring(value);
}

}  // namespace

ProductLanguage ProductLanguageFor(uint16_t userInterfaceLanguage) {
    switch (userInterfaceLanguage) {
        case kLangSimplifiedChinese:
            return ProductLanguage::SimplifiedChinese;
        case kLangTraditionalChinese:
            return ProductLanguage::TraditionalChinese;
        default:
            return ProductLanguage::English;
    }
}

std::wstring FormatSilentCommandLine(const SilentInstallOptions& options) {
    std::wstring channel;
    for (const char c : options.channelName) {
        channel.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    std::wstring line;
    line.reserve(options.installFolder.size() + channel.size() + 32);
    AppendQuoted(line, options.installFolder);
    AppendNumber(line, options.autoRun ? 1 : 0);
    AppendNumber(line, options.desktopShortcut ? 1 : 0);
    AppendNumber(line, options.reportExtraction ? 1 : 0);
    line += L' ';
    AppendQuoted(line, channel);
    AppendNumber(line, options.firstInstall ? 1 : 0);
    AppendNumber(line, options.startProduct ? 1 : 0);
    AppendNumber(line, static_cast<int>(options.language));
    return line;
}

}  // namespace tessel
