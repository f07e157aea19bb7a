#include "silent/SilentArguments.h"

#include <climits>

#include "engine/PathText.h"
#include "engine/UsableFolder.h"

namespace tessel {
namespace {

constexpr size_t kMinimumFields = 7;
constexpr size_t kMaximumFields = 8;

enum Field : size_t {
    kFolder = 0,
    kAutoRun,
    kDesktopShortcut,
    kReportExtraction,
    kChannel,
    kFirstInstall,
    kStartProduct,
    kLanguage,
};

}  // namespace

int ParseDecimalField(std::wstring_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == L' ' || text[at] == L'\t')) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) {
        negative = text[at] == L'-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        value = value * 10 + (text[at] - L'0');
        if (value > INT_MAX) {
            return negative ? INT_MIN : INT_MAX;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

ProductLanguage ProductLanguageFromNumber(int number) {
    switch (number) {
        case static_cast<int>(ProductLanguage::SimplifiedChinese):
            return ProductLanguage::SimplifiedChinese;
        case static_cast<int>(ProductLanguage::TraditionalChinese):
            return ProductLanguage::TraditionalChinese;
        default:
            return ProductLanguage::English;
    }
}

std::wstring DescribeSilentArguments(const SilentArguments& arguments) {
    const SilentInstallOptions& options = arguments.options;
    auto flag = [](const wchar_t* name, bool value) {
        return std::wstring(L", ") + name + (value ? L" 1" : L" 0");
    };
    return L"folder \"" + options.installFolder + L"\"" + flag(L"autoRun", options.autoRun) +
           flag(L"desktopShortcut", options.desktopShortcut) +
           flag(L"reportExtraction", options.reportExtraction) + L", channel \"" +
           arguments.channelName + L"\"" + flag(L"firstInstall", options.firstInstall) +
           flag(L"startProduct", options.startProduct) + L", language " +
           std::to_wstring(static_cast<int>(options.language));
}

std::optional<SilentArguments> ParseSilentArguments(const std::vector<std::wstring>& fields) {
    if (fields.size() < kMinimumFields || fields.size() > kMaximumFields) {
        return std::nullopt;
    }
    auto flag = [&](Field field) { return ParseDecimalField(fields[field]) != 0; };

    SilentArguments parsed;
    SilentInstallOptions& options = parsed.options;
    // The field as sent: normalising first would make a root of "C:", which the window refuses.
    if (!IsUsableFolder(fields[kFolder])) {
        return std::nullopt;
    }
    options.installFolder = fields[kFolder];
    NormalizeFolder(options.installFolder);
    options.autoRun = flag(kAutoRun);
    options.desktopShortcut = flag(kDesktopShortcut);
    options.reportExtraction = flag(kReportExtraction);
    options.channelName.clear();
    parsed.channelName = fields[kChannel];
    options.firstInstall = flag(kFirstInstall);
    options.startProduct = flag(kStartProduct);
    options.language = ProductLanguageFromNumber(
        fields.size() > kLanguage ? ParseDecimalField(fields[kLanguage]) : 0);
    return parsed;
}

}  // namespace tessel
