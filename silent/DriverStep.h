#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "silent/DriverLineSplitter.h"

namespace tessel {

inline constexpr wchar_t kDriverPipeName[] = L"TesselPipe";

struct DriverStepTimeouts {
    // Last resorts only: the step already ends when the helper exits. A real helper downloads
    // before it reports, so both are generous.
    unsigned connectMs = 2 * 60 * 1000;
    unsigned silenceMs = 10 * 60 * 1000;  // no byte from a helper that is still running
};

enum class DriverStepOutcome {
    Done,          // "done", a broken pipe, or the helper exited and the pipe was drained
    PipeTaken,     // another process holds the pipe name: the step was skipped
    NoHelper,      // the helper could not be started
    NotConnected,  // the helper exited (or the wait ran out) without connecting
    Silent,        // the helper stayed running without a word for the whole silence time-out
};

// Runs the product's driver-component helper ("TESSEL Net Helper.exe" in `installFolder`) and
// follows it over the named pipe \\.\pipe\<pipeName>, handing each meaningful line to `onLine`.
// Never ends the installation: every outcome lets it go on. For PipeTaken and NoHelper,
// `windowsError` (when given) gets the failing call's error code (0 for a pipe name that another
// process holds without the system refusing this one's instance).
DriverStepOutcome RunDriverStep(const std::wstring& installFolder,
                                const std::function<void(const DriverLine&)>& onLine,
                                const std::wstring& pipeName = kDriverPipeName,
                                DriverStepTimeouts timeouts = {}, uint32_t* windowsError = nullptr);

}  // namespace tessel
