#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tessel {

// Private window messages the progress monitor sends to the install window. LPARAM is always 0.
inline constexpr uint32_t WM_INSTALL_SETRANGE = 0x500;  // WPARAM: range maximum; sent, not posted
inline constexpr uint32_t WM_INSTALL_RELEASE = 0x501;   // WPARAM: extraction percent
inline constexpr uint32_t WM_INSTALL_FINISH = 0x502;    // WPARAM: 0
inline constexpr uint32_t WM_INSTALL_ERROR = 0x503;     // WPARAM: error code
inline constexpr uint32_t WM_INSTALL_DRIVER = 0x504;    // WPARAM: std::string* the receiver owns
inline constexpr uint32_t WM_INSTALL_WAITING = 0x505;   // WPARAM: 0

// The receiver of WM_INSTALL_DRIVER takes over the posted line first thing, so that it is freed
// on every path through the handler.
inline std::unique_ptr<std::string> TakeDriverLine(uintptr_t wParam) {
    return std::unique_ptr<std::string>(reinterpret_cast<std::string*>(wParam));
}

}  // namespace tessel
