#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/KernelHandles.h"
#include "engine/ProgressMailbox.h"
#include "engine/SharedMemoryMap.h"
#include "engine/SilentCommandLine.h"

namespace tessel {

// Everything one monitor follows, handed over whole to the monitor's thread.
struct MonitoredInstallation {
    HWND window = nullptr;  // reached only through messages; may be destroyed meanwhile
    std::shared_ptr<ProgressMailbox> mailbox;  // shared with the window; required
    // Opened by the installer before it started the silent installer (CWndInstall::StartInstall
    // says why); registers `channelName`.
    std::unique_ptr<CSharedMemoryMap> channel;
    std::string channelName = kProgressChannelName;
    // The silent installer, watched for its end; empty when the start gave no handle.
    UniqueHandle process;
};

// Follows one installation on the calling thread.
//
// 1. Takes each whole text out of the channel and turns each progress message into one of the
//    install window's WM_INSTALL_* messages: the range message is sent and waited for, all others
//    are posted, so they are handled in order after it. Driver lines go into the mailbox, and
//    WM_INSTALL_DRIVER announces them. Idle, it looks every 5 ms; after a message it looks again
//    at once for a while, as the silent installer writes its next one only once this one is taken.
// 2. A text that is not JSON or names a foreign sender ends the following of the channel, not the
//    watching of the process.
// 3. Once the process has ended: one more look into the channel for what it published just before
//    its end, then WM_INSTALL_PROCESSENDED with its exit code, and the monitor returns.
//
// Also returns once the window has closed the mailbox, and after 2 when there is no process.
void MonitorInstallProgress(MonitoredInstallation installation);

// Runs MonitorInstallProgress on a new, detached thread. False when the thread could not be
// started (the installation is dropped then), which the caller treats like a failed launch.
[[nodiscard]] bool StartProgressMonitor(MonitoredInstallation installation);

}  // namespace tessel
