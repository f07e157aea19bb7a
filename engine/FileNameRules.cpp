#include "engine/FileNameRules.h"

#include <array>

namespace tessel {
namespace {

constexpr size_t kMaxNameLength = 255;
constexpr std::wstring_view kForbiddenCharacters = L"\"<>|?*:";

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsIgnoringAsciiCase(std::wstring_view text, std::wstring_view upper) {
    if (text.size() != upper.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (AsciiUpper(text[i]) != upper[i]) {
            return false;
        }
    }
    return true;
}

bool IsPortNumber(wchar_t c) {
    return (c >= L'0' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

}  // namespace

bool IsReservedDeviceName(std::wstring_view name) {
    std::wstring_view base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.remove_suffix(1);
    }
    static constexpr std::array<std::wstring_view, 6> kDevices = {L"CON", L"PRN",    L"AUX",
                                                                  L"NUL", L"CONIN$", L"CONOUT$"};
    for (const auto device : kDevices) {
        if (EqualsIgnoringAsciiCase(base, device)) {
            return true;
        }
    }
    if (base.size() == 4 && IsPortNumber(base[3])) {
        const std::wstring_view port = base.substr(0, 3);
        return EqualsIgnoringAsciiCase(port, L"COM") || EqualsIgnoringAsciiCase(port, L"LPT");
    }
    return false;
}

bool IsPlainFileName(std::wstring_view name) {
    if (name.empty() || name.size() > kMaxNameLength || name.back() == L'.' ||
        name.back() == L' ') {
        return false;
    }
    for (const wchar_t c : name) {
        if (c < L' ' || kForbiddenCharacters.find(c) != std::wstring_view::npos) {
            return false;
        }
    }
    return !IsReservedDeviceName(name);
}

}  // namespace tessel
