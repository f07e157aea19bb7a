#include "app/InstallFolder.h"

#include <algorithm>
#include <cwctype>

#include "engine/UsableFolder.h"

namespace tessel {
namespace {

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return lower;
}

void TrimWhiteSpace(std::wstring& text) {
    const auto isBlank = [](wchar_t c) { return std::iswspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    text = first < last ? std::wstring(first, last) : std::wstring();
}

}  // namespace

bool IsInstallFolderValid(std::wstring& folder, std::wstring_view drive,
                          std::wstring_view logicalDrives) {
    TrimWhiteSpace(folder);
    if (folder.empty() || drive.empty() || !IsUsableFolder(folder)) {
        return false;
    }
    return Lower(logicalDrives).find(Lower(drive)) != std::wstring::npos;
}

std::wstring ApplyFolderRule(const std::wstring& folder, bool folderIsEmpty,
                             const std::wstring& previousFolder, std::wstring_view productName) {
    if (folderIsEmpty || Lower(folder) == Lower(previousFolder)) {
        return folder;
    }
    return folder + std::wstring(productName);
}

}  // namespace tessel
