#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Whether the text of a previous installation's folder may be deleted as a whole. Both the folder
// and the protected folders are full paths, normalised to end in one backslash and folded to one
// letter case by the caller. Refused: anything not absolute, a drive root ("c:\") or share root
// ("\\server\share\"), a protected folder itself, and any folder that holds a protected folder
// ("c:\users\" when the profile is "c:\users\ann\"). A folder inside a protected one is fine: that
// is where products are installed.
bool IsDeletableFolderText(std::wstring_view folder,
                           const std::vector<std::wstring>& protectedFolders);

}  // namespace tessel
