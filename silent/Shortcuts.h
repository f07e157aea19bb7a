#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "silent/ProductNames.h"
#include "silent/StepFailure.h"

namespace tessel {

struct ShortcutPlan {
    std::wstring installFolder;  // ends with a backslash
    ProductNames names;
    bool firstInstall = true;
    bool desktopShortcut = false;  // as requested; an update keeps the user's earlier choice
};

// Creates (or, for a cleared desktop flag, deletes) the product's shortcuts: the desktop one, the
// start-menu folder with the product and its uninstaller, and the application-data shortcut
// "TesselAst\Tessel.lnk". Each points at a program of the install folder and starts in that
// folder. Needs COM on the calling thread. Stops at the first shortcut or folder that cannot be
// made and returns it with the failing call's error code; nothing when every one was made.
[[nodiscard]] std::optional<StepFailure> WriteShortcuts(const ShortcutPlan& plan);

// Creates one shell link file: 0, or the HRESULT of the COM call that failed.
[[nodiscard]] uint32_t CreateShortcut(const std::wstring& linkPath, const std::wstring& target,
                                      const std::wstring& workingFolder);

// "<desktop>\<product name>.lnk".
std::wstring DesktopShortcutPath(const std::wstring& productName);

// A special folder (a CSIDL value), empty when the system has none.
std::wstring SpecialFolder(int csidl);

}  // namespace tessel
