#pragma once

#include <windows.h>

#include <string>

#include "engine/SilentCommandLine.h"

namespace tessel {

// Follows one installation: every 5 ms takes the text out of the channel (and clears it), and turns
// each progress message into one of the install window's WM_INSTALL_* messages. The range message
// is sent and waited for; all others are posted, so they are handled in order after it. Returns
// only when a text is not JSON or names a foreign sender; otherwise it polls until the process
// ends. It reaches the window only through `window`, which may be destroyed meanwhile.
void MonitorInstallProgress(HWND window, const std::string& channelName = kProgressChannelName);

// Runs MonitorInstallProgress on a new, detached thread. False when the thread could not be
// started, which the caller treats like a failed launch.
[[nodiscard]] bool StartProgressMonitor(HWND window,
                                        std::string channelName = kProgressChannelName);

}  // namespace tessel
