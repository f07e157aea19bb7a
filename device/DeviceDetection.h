#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "device/ModelTable.h"

namespace tessel {

// The instance identifiers of the devices present in the system, one enumeration per call.
class IDeviceInstanceSource {
public:
    virtual ~IDeviceInstanceSource() = default;
    // Calls `visit` for each identifier until it returns true (found) or the devices run out.
    virtual void ForEachInstanceId(const std::function<bool(std::wstring_view)>& visit) const = 0;
};

// Present devices of every setup class, read through SetupAPI.
class SetupApiDeviceSource final : public IDeviceInstanceSource {
public:
    void ForEachInstanceId(const std::function<bool(std::wstring_view)>& visit) const override;
};

// True when a present device's instance identifier carries exactly these vendor and product ids.
bool FindConnectedDevice(std::wstring_view vendorId, std::wstring_view productId,
                         const IDeviceInstanceSource& devices = SetupApiDeviceSource());

// The first row of `table` whose device is present. Every row enumerates the devices afresh.
std::optional<ModelEntry> FindConnectedModel(
    const std::vector<ModelEntry>& table,
    const IDeviceInstanceSource& devices = SetupApiDeviceSource());

}  // namespace tessel
