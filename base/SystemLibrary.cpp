#include "base/SystemLibrary.h"

#include <cwchar>

namespace tessel {

UniqueModule LoadSystemLibrary(const wchar_t* fileName) noexcept {
    // A fixed buffer: this also runs inside the delay-load helper, where nothing should throw.
    wchar_t path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    const size_t nameLength = std::wcslen(fileName);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) {
        return UniqueModule();
    }
    path[length] = L'\\';
    std::wmemcpy(path + length + 1, fileName, nameLength + 1);
    return UniqueModule(::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace tessel
