#pragma once

#include <string_view>

namespace tessel {

// The text after `marker` ("VID_" or "PID_") up to the first "&" at or after the marker. Empty when
// the marker is absent or no "&" follows it. Markers and digits compare with case.
//
//   HID\VID_2E8B&PID_0A11&MI_00\7&1A2B3C4D&0&0000   VID_ -> "2E8B", PID_ -> "0A11"
//   USB\VID_2E8B&PID_0A11\5&2B3C&0&2                PID_ -> "0A11\5&..." up to "&": "0A11\5"
std::wstring_view ExtractIdText(std::wstring_view instanceId, std::wstring_view marker);

// True when the identifier's vendor text equals `vendorId` and its product text equals `productId`,
// both whole and exact.
bool InstanceIdMatches(std::wstring_view instanceId, std::wstring_view vendorId,
                       std::wstring_view productId);

}  // namespace tessel
