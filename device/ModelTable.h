#pragma once

#include <string>
#include <vector>

namespace tessel {

// One of the maker's supported devices: its display name and the four upper-case hexadecimal
// digits that follow "VID_" and "PID_" in its device instance identifiers.
struct ModelEntry {
    std::wstring modelName;
    std::wstring vendorId;
    std::wstring productId;

    bool operator==(const ModelEntry&) const = default;
};

// The supported devices in the order the end-of-installation walk tries them.
std::vector<ModelEntry> MakeModelTable();

}  // namespace tessel
