#include "device/InstanceIdMatch.h"

namespace tessel {

std::wstring_view ExtractIdText(std::wstring_view instanceId, std::wstring_view marker) {
    const size_t start = instanceId.find(marker);
    if (start == std::wstring_view::npos) {
        return {};
    }
    const size_t end = instanceId.find(L'&', start);
    if (end == std::wstring_view::npos) {
        return {};
    }
    const size_t textStart = start + marker.size();
    if (end < textStart) {
        return {};
    }
    return instanceId.substr(textStart, end - textStart);
}

bool InstanceIdMatches(std::wstring_view instanceId, std::wstring_view vendorId,
                       std::wstring_view productId) {
    if (instanceId.find(L"VID_") == std::wstring_view::npos) {
        return false;
    }
    return ExtractIdText(instanceId, L"VID_") == vendorId &&
           ExtractIdText(instanceId, L"PID_") == productId;
}

}  // namespace tessel
