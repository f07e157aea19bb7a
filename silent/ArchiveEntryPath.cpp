#include "silent/ArchiveEntryPath.h"

#include <array>

namespace tessel {
namespace {

constexpr std::wstring_view kForbiddenCharacters = L"<>:\"|?*";

wchar_t FoldAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsUpper(std::wstring_view text, std::wstring_view upper) {
    if (text.size() != upper.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (FoldAscii(text[i]) != upper[i]) {
            return false;
        }
    }
    return true;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsAcceptableComponent(std::wstring_view component) {
    const wchar_t last = component.back();
    if (last == L'.' || last == L' ') {
        return false;
    }
    for (const wchar_t c : component) {
        if (c < 0x20 || kForbiddenCharacters.find(c) != std::wstring_view::npos) {
            return false;
        }
    }
    return !IsReservedDeviceName(component);
}

}  // namespace

bool IsReservedDeviceName(std::wstring_view component) {
    // The device name is what stands before the first dot, with trailing blanks ignored.
    std::wstring_view base = component.substr(0, component.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.remove_suffix(1);
    }
    static constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN",    L"AUX",
                                                                L"NUL", L"CONIN$", L"CONOUT$"};
    for (const auto name : kPlain) {
        if (EqualsUpper(base, name)) {
            return true;
        }
    }
    if (base.size() == 4 &&
        (EqualsUpper(base.substr(0, 3), L"COM") || EqualsUpper(base.substr(0, 3), L"LPT"))) {
        const wchar_t digit = base[3];
        // Windows also treats the superscript digits 1, 2 and 3 as port numbers.
        return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
               digit == L'\u00B3';
    }
    return false;
}

std::optional<EntryTarget> ResolveEntryPath(std::wstring_view entryName) {
    if (entryName.empty() || IsSeparator(entryName.front())) {
        return std::nullopt;
    }
    EntryTarget target;
    target.isDirectory = IsSeparator(entryName.back());
    size_t start = 0;
    while (start <= entryName.size()) {
        size_t end = start;
        while (end < entryName.size() && !IsSeparator(entryName[end])) {
            ++end;
        }
        const std::wstring_view component = entryName.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == L".") {
            continue;
        }
        if (!IsAcceptableComponent(component)) {
            return std::nullopt;
        }
        if (!target.relativePath.empty()) {
            target.relativePath += L'\\';
        }
        target.relativePath += component;
    }
    if (target.relativePath.empty()) {
        return std::nullopt;
    }
    return target;
}

}  // namespace tessel
