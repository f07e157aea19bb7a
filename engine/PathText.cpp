#include "engine/PathText.h"

namespace tessel {
namespace {

void TrimBoth(std::wstring& text, wchar_t separator) {
    const auto last = text.find_last_not_of(separator);
    if (last == std::wstring::npos) {
        text.clear();
        return;
    }
    text.erase(last + 1);
    text.erase(0, text.find_first_not_of(separator));
}

}  // namespace

std::wstring TrimSeparators(std::wstring& folder) {
    TrimBoth(folder, L'\\');
    TrimBoth(folder, L'/');
    return folder;
}

std::wstring NormalizeFolder(std::wstring& folder) {
    TrimSeparators(folder);
    folder.push_back(L'\\');
    return folder;
}

}  // namespace tessel
