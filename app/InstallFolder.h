#pragma once

#include <string>
#include <string_view>

namespace tessel {

// The checks and the folder rule of the install action, free of any file-system call: the caller
// passes what the system said (the drive component, the logical drives, whether the folder is
// empty or could be created).

// True when `folder` (trimmed of white space at both ends, in place) names a folder on a present
// drive that Windows can use (IsUsableFolder, the rule the silent installer applies too): its
// drive component (taken before trimming, "C:") occurs, without regard to case, in
// `logicalDrives` ("C:\D:\"). An empty folder or drive is invalid.
bool IsInstallFolderValid(std::wstring& folder, std::wstring_view drive,
                          std::wstring_view logicalDrives);

// The folder rule, for a normalised folder ending in "\": an empty (or new) folder is used as it
// is; so is one equal, ignoring case, to the previous installation's raw "DisplayPath"; any
// other folder with content gets the product name appended ("D:\Apps\" gives
// "D:\Apps\Tessel Assistant").
std::wstring ApplyFolderRule(const std::wstring& folder, bool folderIsEmpty,
                             const std::wstring& previousFolder, std::wstring_view productName);

}  // namespace tessel
