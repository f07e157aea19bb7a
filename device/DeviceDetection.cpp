#include "device/DeviceDetection.h"

#include <windows.h>
#include <objbase.h>
#include <setupapi.h>

#include "base/UniqueResource.h"
#include "device/InstanceIdMatch.h"

namespace tessel {
namespace {

// The keyboard setup class. With DIGCF_ALLCLASSES it does not narrow the set; it is passed because
// the call wants a class.
constexpr wchar_t kKeyboardClassGuid[] = L"{4d36e96b-e325-11ce-bfc1-08002be10318}";
constexpr DWORD kInstanceIdChars = 260;

struct DeviceInfoSetTraits {
    using Type = HDEVINFO;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type set) noexcept { ::SetupDiDestroyDeviceInfoList(set); }
};
using UniqueDeviceInfoSet = UniqueResource<DeviceInfoSetTraits>;

}  // namespace

void SetupApiDeviceSource::ForEachInstanceId(
    const std::function<bool(std::wstring_view)>& visit) const {
    GUID keyboardClass = {};
    ::CLSIDFromString(kKeyboardClassGuid, &keyboardClass);
    UniqueDeviceInfoSet devices(
        ::SetupDiGetClassDevsW(&keyboardClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!devices) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!::SetupDiEnumDeviceInfo(devices.Get(), index, &device)) {
            return;
        }
        wchar_t instanceId[kInstanceIdChars] = {};
        if (!::SetupDiGetDeviceInstanceIdW(devices.Get(), &device, instanceId, kInstanceIdChars,
                                           nullptr)) {
            continue;
        }
        if (visit(instanceId)) {
            return;
        }
    }
}

bool FindConnectedDevice(std::wstring_view vendorId, std::wstring_view productId,
                         const IDeviceInstanceSource& devices) {
    bool found = false;
    devices.ForEachInstanceId([&](std::wstring_view instanceId) {
        found = InstanceIdMatches(instanceId, vendorId, productId);
        return found;
    });
    return found;
}

std::optional<ModelEntry> FindConnectedModel(const std::vector<ModelEntry>& table,
                                             const IDeviceInstanceSource& devices) {
    for (const ModelEntry& model : table) {
        if (FindConnectedDevice(model.vendorId, model.productId, devices)) {
            return model;
        }
    }
    return std::nullopt;
}

}  // namespace tessel
