#include "ui/AttributeText.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>

namespace tessel {

int ParseInt(std::wstring_view text, size_t* consumed) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]) && text[i] != L'\0') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    const size_t digitsStart = i;
    long long value = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        if (value <= INT_MAX) {
            value = value * 10 + (text[i] - L'0');
        }
        ++i;
    }
    if (i == digitsStart) {
        if (consumed) {
            *consumed = 0;
        }
        return 0;
    }
    if (consumed) {
        *consumed = i;
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::array<int, 4> ParseIntList(std::wstring_view text) {
    std::array<int, 4> values{};
    size_t pos = 0;
    for (size_t n = 0; n < values.size(); ++n) {
        size_t used = 0;
        values[n] = ParseInt(text.substr(pos), &used);
        pos += used;
        // One separator character of any kind; the list ends with the text.
        if (pos >= text.size() || text[pos] == L'\0') {
            break;
        }
        ++pos;
    }
    return values;
}

UiRect ParseRect(std::wstring_view text) {
    const auto v = ParseIntList(text);
    return {v[0], v[1], v[2], v[3]};
}

UiSize ParseSize(std::wstring_view text) {
    const auto v = ParseIntList(text);
    return {v[0], v[1]};
}

std::array<double, 4> ParseRealList(std::wstring_view text) {
    std::array<double, 4> values{};
    const std::wstring copy(text.substr(0, text.find(L'\0')));
    const wchar_t* p = copy.c_str();
    const wchar_t* end = p + copy.size();
    for (size_t n = 0; n < values.size() && p < end; ++n) {
        wchar_t* next = nullptr;
        values[n] = std::wcstod(p, &next);
        p = next;
        if (p >= end) {
            break;
        }
        ++p;
    }
    return values;
}

uint32_t ParseColor(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]) && text[i] != L'\0') {
        ++i;
    }
    if (i < text.size() && text[i] == L'#') {
        ++i;
    }
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        int digit = 0;
        if (c >= L'0' && c <= L'9') {
            digit = c - L'0';
        } else if (c >= L'a' && c <= L'f') {
            digit = c - L'a' + 10;
        } else if (c >= L'A' && c <= L'F') {
            digit = c - L'A' + 10;
        } else {
            break;
        }
        value = std::min<uint64_t>(value * 16 + digit, 0xFFFFFFFFull);
    }
    return static_cast<uint32_t>(value);
}

static wchar_t LowerAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? c + (L'a' - L'A') : c;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool LessNoCase(std::wstring_view a, std::wstring_view b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](wchar_t x, wchar_t y) { return LowerAscii(x) < LowerAscii(y); });
}

bool ParseBool(std::wstring_view text) {
    return EqualsNoCase(text, L"true");
}

bool ContainsText(std::wstring_view haystack, std::wstring_view needle) {
    return haystack.find(needle) != std::wstring_view::npos;
}

std::wstring ToLowerAscii(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out) {
        c = LowerAscii(c);
    }
    return out;
}

void ForEachAttributePair(std::wstring_view list,
                          const std::function<void(std::wstring_view, std::wstring_view)>& visit) {
    size_t pos = 0;
    const auto at = [&](size_t i) { return i < list.size() ? list[i] : L'\0'; };
    while (at(pos) != L'\0') {
        const size_t nameStart = pos;
        while (at(pos) != L'\0' && at(pos) != L'=') {
            ++pos;
        }
        const std::wstring_view name = list.substr(nameStart, pos - nameStart);
        // A second blank between pairs (or none at all before "=") is not the one-blank separator.
        if (name.empty() || IsBlank(name.front()) || at(pos++) != L'=') {
            return;
        }
        if (at(pos++) != L'"') {
            return;
        }
        const size_t valueStart = pos;
        while (at(pos) != L'\0' && at(pos) != L'"') {
            ++pos;
        }
        const std::wstring_view value = list.substr(valueStart, pos - valueStart);
        if (at(pos++) != L'"') {
            return;
        }
        visit(name, value);
        if (at(pos++) != L' ') {
            return;
        }
    }
}

std::wstring ExpandLineBreaks(std::wstring_view text) {
    static constexpr std::wstring_view kEscape = L"{\\n}";
    std::wstring out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t hit = text.find(kEscape, pos);
        if (hit == std::wstring_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, hit - pos));
        out.push_back(L'\n');
        pos = hit + kEscape.size();
    }
    return out;
}

}  // namespace tessel
