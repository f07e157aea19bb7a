#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/SilentCommandLine.h"
#include "silent/ProductNames.h"
#include "silent/StepFailure.h"
#include "silent/UninstallValues.h"

namespace tessel {

struct RegistryPlan {
    std::wstring installFolder;  // ends with a backslash
    ProductNames names;
    std::wstring displayVersion;
    uint64_t installedBytes = 0;  // what the product's files take in the install folder
    CalendarDate installDate;     // today, local; one the system cannot give is left out
    bool firstInstall = true;
    bool autoRun = false;  // as requested; an update keeps the user's earlier choice instead
};

// Writes the product's entries under HKEY_CURRENT_USER: the uninstall entry (with its size, date
// and no modify or repair buttons), the utility's language (first installation only), the
// auto-start value and the floating-window setting. Every string value is written with its length
// in bytes including the terminator. Stops at the first key or value that cannot be written and
// returns it with the registry's error code; nothing when every entry was written.
[[nodiscard]] std::optional<StepFailure> WriteRegistryEntries(const RegistryPlan& plan);

// Whether the auto-start value exists: on an update it stands for the user's earlier choice.
bool AutoRunValueExists();

}  // namespace tessel
