#pragma once

#include <string>
#include <string_view>

namespace tessel {

// Text conversions between the markup's byte encodings and the framework's UTF-16 strings.
// Malformed UTF-8 becomes U+FFFD per bad sequence; nothing here reads past the input.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// The system's ANSI code page (the only conversion that needs Windows).
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide);

}  // namespace tessel
