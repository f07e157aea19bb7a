#include "engine/UsableFolder.h"

#include "engine/FileNameRules.h"

namespace tessel {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
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
        if (end > at && !IsPlainFileName(folder.substr(at, end - at))) {
            return false;
        }
        at = end + 1;
    }
    return true;
}

}  // namespace tessel
