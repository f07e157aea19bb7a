#pragma once

#include <cstdint>
#include <string>

namespace tessel {

// What a step of the silent installer could not do, for its log: what it was doing (`cannot write
// "C:\...\Launcher.exe"`) and the error code of the system call that failed, captured right after
// that call; 0 when no call failed because something else stood in the way, which `what` then says.
struct StepFailure {
    std::wstring what;
    uint32_t windowsError = 0;
};

}  // namespace tessel
