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

PathPartLengths SplitPathLengths(std::wstring_view path) {
    PathPartLengths lengths;
    if (path.size() >= 2 && path[1] == L':') {
        lengths.drive = 2;
        path.remove_prefix(2);
    }
    const size_t lastSeparator = path.find_last_of(L"\\/");
    if (lastSeparator != std::wstring_view::npos) {
        lengths.directory = lastSeparator + 1;
        path.remove_prefix(lastSeparator + 1);
    }
    const size_t dot = path.rfind(L'.');
    lengths.name = dot == std::wstring_view::npos ? path.size() : dot;
    lengths.extension = path.size() - lengths.name;
    return lengths;
}

}  // namespace tessel
