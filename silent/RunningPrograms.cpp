#include "silent/RunningPrograms.h"

#include <windows.h>
#include "base/ProcessCleanup.h"

namespace tessel {
namespace {

constexpr DWORD kRecheckMs = 20;

}  // namespace

bool IsAnyProgramRunning(const std::vector<std::wstring>& names) {
    return !FindProcessesByName(names).empty();
}

bool CloseRunningPrograms(const std::vector<std::wstring>& names, unsigned timeoutMs) {
    TerminateProcessesByName(names);
    // Termination is asynchronous: an ended program's executable stays locked until it is gone.
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (IsAnyProgramRunning(names)) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(kRecheckMs);
    }
    return true;
}

}  // namespace tessel
