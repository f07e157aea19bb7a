#include "engine/UsableFolder.h"

#include <array>

namespace tessel {
namespace {

constexpr size_t kMaxNameLength = 255;
constexpr std::wstring_view kForbiddenCharacters = L"\"<>|?*:";

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

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

// COM and LPT take a digit 1-9 or a superscript one, two or three.
bool IsPortNumber(wchar_t c) {
    return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

// Windows reads a device name up to the first dot and without the blanks before it.
bool IsDeviceName(std::wstring_view name) {
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

bool IsUsableName(std::wstring_view name) {
    if (name.size() > kMaxNameLength || name.back() == L'.' || name.back() == L' ') {
        return false;
    }
    for (const wchar_t c : name) {
        if (c < L' ' || kForbiddenCharacters.find(c) != std::wstring_view::npos) {
            return false;
        }
    }
    return !IsDeviceName(name);
}

}  // namespace

bool IsUsableFolder(std::wstring_view folder) {
    if (folder.size() < 3 || !IsAsciiLetter(folder[0]) || folder[1] != L':' ||
        !IsSeparator(folder[2])) {
        return false;
    }
    size_t at = 3;
    while (at < folder.size()) {
        size_t end = at;
        while (end < folder.size() && !IsSeparator(folder[end])) {
            ++end;
        }
        if (end > at && !IsUsableName(folder.substr(at, end - at))) {
            return false;
        }
        at = end + 1;
    }
    return true;
}

}  // namespace tessel
