#pragma once

#include <optional>
#include <string>

#include "engine/SilentCommandLine.h"
#include "silent/ProductNames.h"
#include "silent/StepFailure.h"

namespace tessel {

struct RegistryPlan {
    std::wstring installFolder;  // ends with a backslash
    ProductNames names;
    std::wstring displayVersion;
    bool firstInstall = true;
    bool autoRun = false;  // as requested; an update keeps the user's earlier choice instead
};

// Writes the product's entries under HKEY_CURRENT_USER: the uninstall entry, the utility's language
// (first installation only), the auto-start value and the floating-window setting. Every string
// value is written with its length in bytes including the terminator. Stops at the first key or
// value that cannot be written and returns it with the registry's error code; nothing when every
// entry was written.
[[nodiscard]] std::optional<StepFailure> WriteRegistryEntries(const RegistryPlan& plan);

// Whether the auto-start value exists: on an update it stands for the user's earlier choice.
bool AutoRunValueExists();

}  // namespace tessel
