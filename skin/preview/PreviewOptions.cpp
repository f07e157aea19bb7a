#include "skin/preview/PreviewOptions.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "ui/DisplayScale.h"

namespace tessel {
namespace {

std::optional<long> ParseNumber(const std::wstring& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (end == nullptr || *end != L'\0') {
        return std::nullopt;
    }
    return value;
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return text;
}

}  // namespace

PreviewArgumentsResult ParsePreviewArguments(std::span<const std::wstring> arguments) {
    PreviewArgumentsResult result;
    PreviewOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument.size() < 2 || argument.compare(0, 2, L"--") != 0) {
            if (!options.markup.empty()) {
                result.error = L"more than one markup file: " + argument;
                return result;
            }
            options.markup = argument;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            result.error = argument + L" needs a value";
            return result;
        }
        const std::wstring& value = arguments[++i];
        const auto number = [&]() -> std::optional<long> {
            const auto parsed = ParseNumber(value);
            if (!parsed) {
                result.error = argument + L" needs a number, not " + value;
            }
            return parsed;
        };
        if (argument == L"--out") {
            options.output = value;
        } else if (argument == L"--skin") {
            options.skinArchive = value;
        } else if (argument == L"--lang") {
            options.language = Upper(value);
            if (LanguageFileForCode(options.language).empty()) {
                result.error = L"unknown language " + value + L" (CN, TC or EN)";
                return result;
            }
        } else if (argument == L"--page") {
            const auto page = number();
            if (!page) {
                return result;
            }
            options.page = static_cast<int>(*page);
        } else if (argument == L"--text") {
            options.messageText = value;
        } else if (argument == L"--caption") {
            options.caption = value;
        } else if (argument == L"--arg") {
            options.formatArgument = number();
            if (!options.formatArgument) {
                return result;
            }
        } else if (argument == L"--folder") {
            options.folder = value;
        } else if (argument == L"--status") {
            options.status = value;
        } else if (argument == L"--progress") {
            const auto progress = number();
            if (!progress) {
                return result;
            }
            options.progress = static_cast<int>(*progress);
        } else if (argument == L"--show" || argument == L"--hide") {
            options.visibility.emplace_back(value, argument == L"--show");
        } else if (argument == L"--hover") {
            options.hovered.push_back(value);
        } else if (argument == L"--disable") {
            options.disabled.push_back(value);
        } else if (argument == L"--unselect") {
            options.unselected.push_back(value);
        } else if (argument == L"--scale") {
            const auto scale = number();
            if (!scale) {
                return result;
            }
            if (*scale < DisplayScale::kMinimumPercent || *scale > DisplayScale::kMaximumPercent) {
                result.error = L"--scale needs a percentage from " +
                               std::to_wstring(DisplayScale::kMinimumPercent) + L" to " +
                               std::to_wstring(DisplayScale::kMaximumPercent) + L", not " + value;
                return result;
            }
            options.scale = static_cast<int>(*scale);
        } else {
            result.error = L"unknown option " + argument;
            return result;
        }
    }
    if (options.markup.empty()) {
        result.error = L"no markup file given";
        return result;
    }
    if (options.output.empty()) {
        result.error = L"no output file given (--out)";
        return result;
    }
    result.options = std::move(options);
    return result;
}

std::wstring LanguageFileForCode(const std::wstring& code) {
    const std::wstring upper = Upper(code);
    if (upper == L"CN") {
        return L"lan_cn.xml";
    }
    if (upper == L"TC") {
        return L"lan_tc.xml";
    }
    if (upper == L"EN") {
        return L"lan_en.xml";
    }
    return {};
}

std::wstring FillFormatArgument(const std::wstring& text, long argument) {
    const size_t at = std::min(text.find(L"%d"), text.find(L"%s"));
    if (at == std::wstring::npos) {
        return text;
    }
    return text.substr(0, at) + std::to_wstring(argument) + text.substr(at + 2);
}

}  // namespace tessel
