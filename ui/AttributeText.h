#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/Geometry.h"

namespace tessel {

// The value syntax of markup attributes: integers, integer lists, colours, booleans, reals and the
// attribute lists of styles and class defaults. Lenient the way the skins expect (a missing number
// reads as 0), and never reads past the end of the view.

// Blanks are every character up to and including the space.
inline bool IsBlank(wchar_t c) {
    return c <= L' ';
}

// A decimal integer after optional blanks and sign; no digits gives 0. Saturates instead of
// overflowing. `consumed` (when given) receives the characters used, 0 when there were no digits.
int ParseInt(std::wstring_view text, size_t* consumed = nullptr);

// Up to four numbers separated by one character each; missing trailing numbers read as 0
// ("280,204" is 280, 204, 0, 0).
std::array<int, 4> ParseIntList(std::wstring_view text);
UiRect ParseRect(std::wstring_view text);
UiSize ParseSize(std::wstring_view text);

// Up to four reals separated by one character each, as "float" writes fractions of the parent.
std::array<double, 4> ParseRealList(std::wstring_view text);

// Hexadecimal AARRGGBB after optional blanks and one "#"; saturates at 0xFFFFFFFF.
uint32_t ParseColor(std::wstring_view text);

// "true" in any letter case; everything else is false.
bool ParseBool(std::wstring_view text);

// Letter case is compared for ASCII letters only, as markup names are written.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
bool LessNoCase(std::wstring_view a, std::wstring_view b);
bool ContainsText(std::wstring_view haystack, std::wstring_view needle);
std::wstring ToLowerAscii(std::wstring_view text);

// Walks a style or class-default list: name="value" pairs separated by exactly one blank. Stops at
// the first pair that does not have that form; the pairs before it have been reported.
void ForEachAttributePair(std::wstring_view list,
                          const std::function<void(std::wstring_view, std::wstring_view)>& visit);

// The markup's line-break escape: the four characters "{\n}" become one line break.
std::wstring ExpandLineBreaks(std::wstring_view text);

}  // namespace tessel
