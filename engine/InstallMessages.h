#pragma once

#include <cstdint>

namespace tessel {

// Private window messages the progress monitor sends to the install window. LPARAM is always 0.
inline constexpr uint32_t WM_INSTALL_SETRANGE = 0x500;  // WPARAM: range maximum; sent, not posted
inline constexpr uint32_t WM_INSTALL_RELEASE = 0x501;   // WPARAM: extraction percent
inline constexpr uint32_t WM_INSTALL_FINISH = 0x502;    // WPARAM: 0
inline constexpr uint32_t WM_INSTALL_ERROR = 0x503;     // WPARAM: error code
// A driver line is waiting in the window's ProgressMailbox. WPARAM means nothing: anyone can post
// this message, so the window takes lines only from the mailbox the monitor fills.
inline constexpr uint32_t WM_INSTALL_DRIVER = 0x504;
inline constexpr uint32_t WM_INSTALL_WAITING = 0x505;  // WPARAM: 0
// The silent installer's process has ended, after every message it left in the channel was
// handed on. WPARAM: its exit code (the window asks its own handle; anyone can post this too).
inline constexpr uint32_t WM_INSTALL_PROCESSENDED = 0x506;

}  // namespace tessel
