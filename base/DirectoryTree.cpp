#include "base/DirectoryTree.h"

#include <windows.h>
#include <shlwapi.h>

namespace tessel {

// The parent first: the path splits at its last forward slash, or at its last backslash when it has
// none. With a trailing separator the first step down is the same folder without it; creating that
// one a second time fails harmlessly.
bool CreateDirectoryTree(std::wstring folder) {
    if (folder.empty() || ::PathFileExistsW(folder.c_str())) {
        return true;
    }
    size_t split = folder.rfind(L'/');
    if (split == std::wstring::npos) {
        split = folder.rfind(L'\\');
    }
    if (split != std::wstring::npos) {
        CreateDirectoryTree(folder.substr(0, split));
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return true;
}

}  // namespace tessel
