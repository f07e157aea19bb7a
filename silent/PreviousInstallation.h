#pragma once

#include <string>
#include <vector>

namespace tessel {

// The decision whether the folder of the installation before this one (ReadPreviousInstallFolder,
// base/ProductFacts.h) goes away when the product moves elsewhere.

// Both folders normalised the same way, then compared without regard to letter case.
bool IsSameFolder(const std::wstring& a, const std::wstring& b);

enum class PreviousFolderOutcome {
    Absent,   // nothing there
    Deleted,  // gone with everything in it
    Kept,     // not safe to delete, left exactly as it was
    Partly,   // safe, but something in it could not be deleted (a file in use, say)
};

// Deletes the previous installation's folder with its files and subfolders, but only when that
// is safe: not a drive or share root, not a system or user folder nor one that holds such a
// folder, not reached through a link, and holding this product ("Launcher.exe" or "Uninst.exe").
// A link met inside is removed itself, never followed. When the folder is itself a link, only the
// link goes.
PreviousFolderOutcome RemovePreviousFolder(const std::wstring& folder);

// The system and user folders that are never deleted as a whole, full paths normalised and
// lower-cased (see IsDeletableFolderText).
std::vector<std::wstring> ProtectedFolders();

}  // namespace tessel
