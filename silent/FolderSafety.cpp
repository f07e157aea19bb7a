#include "silent/FolderSafety.h"

namespace tessel {
namespace {

bool IsDriveLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// The length of the root part: "c:\" (3) or "\\server\share\"; 0 when the text is not absolute.
size_t RootLength(std::wstring_view folder) {
    if (folder.size() >= 3 && IsDriveLetter(folder[0]) && folder[1] == L':' && folder[2] == L'\\') {
        return 3;
    }
    if (folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\') {
        // "\\server\share\" — and the device forms "\\?\c:\" and "\\.\c:\" count as roots of their
        // own kind: never deleted whole.
        const size_t serverEnd = folder.find(L'\\', 2);
        if (serverEnd == std::wstring_view::npos) {
            return folder.size();
        }
        const size_t shareEnd = folder.find(L'\\', serverEnd + 1);
        return shareEnd == std::wstring_view::npos ? folder.size() : shareEnd + 1;
    }
    return 0;
}

bool HasDotComponent(std::wstring_view folder) {
    return folder.find(L"\\.\\") != std::wstring_view::npos ||
           folder.find(L"\\..\\") != std::wstring_view::npos;
}

}  // namespace

bool IsDeletableFolderText(std::wstring_view folder,
                           const std::vector<std::wstring>& protectedFolders) {
    const size_t root = RootLength(folder);
    if (root == 0 || folder.size() <= root || folder.back() != L'\\' || HasDotComponent(folder)) {
        return false;
    }
    if (folder.starts_with(L"\\\\?\\") || folder.starts_with(L"\\\\.\\")) {
        return false;
    }
    for (const auto& guarded : protectedFolders) {
        if (guarded.empty()) {
            continue;
        }
        // Equal, or `folder` is an ancestor of the protected one.
        if (std::wstring_view(guarded).starts_with(folder)) {
            return false;
        }
    }
    return true;
}

}  // namespace tessel
