// The native build's stand-in for the system's ANSI code page: Latin-1, where every byte is the
// code point of the same number. Only the sanitizer and fuzz builds link it.
#include "base/TextConversion.h"

namespace tessel {

std::wstring AnsiToWide(std::string_view ansi) {
    std::wstring wide;
    wide.reserve(ansi.size());
    for (const char c : ansi) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

std::string WideToAnsi(std::wstring_view wide) {
    std::string ansi;
    ansi.reserve(wide.size());
    for (const wchar_t c : wide) {
        ansi.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
    return ansi;
}

}  // namespace tessel
