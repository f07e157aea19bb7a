#pragma once

#include <string>

namespace tessel {

// Creates `folder` and every missing parent: the install action for a new install folder, the
// crash handler for its "CrashRpt" folder. Always true: folders the user may not create (under
// Program Files without administrator rights, say) are silently left out, and the caller finds
// out by using them.
bool CreateDirectoryTree(std::wstring folder);

}  // namespace tessel
