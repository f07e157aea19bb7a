#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/KernelHandles.h"

namespace tessel {

// Starting another program, as the silent installer starts the driver helper, the uninstaller its
// own clean-up copy, and tests and benchmarks the programs they drive.
struct ChildProcessStart {
    const wchar_t* program = nullptr;  // full path; null: the first field of the command line
    const wchar_t* folder = nullptr;   // working folder; null: this process's own
    DWORD creationFlags = 0;
};

// Starts `commandLine` (the program's own name first, quoted where it holds blanks). No handle is
// inherited. The process handle, or an empty one when the program did not start; GetLastError
// then tells why.
UniqueHandle StartChildProcess(std::wstring commandLine, const ChildProcessStart& start = {});

// The exit code once the process has ended, waiting at most `timeoutMs`; nothing when it still
// runs (or the handle is empty).
std::optional<DWORD> WaitForExitCode(const UniqueHandle& process, DWORD timeoutMs);

}  // namespace tessel
