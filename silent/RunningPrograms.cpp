#include "silent/RunningPrograms.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "engine/KernelHandles.h"
#include "engine/ProcessCleanup.h"

namespace tessel {
namespace {

constexpr DWORD kRecheckMs = 20;

}  // namespace

bool IsAnyProgramRunning(const std::vector<std::wstring>& names) {
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return false;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry)) {
        const bool listed = std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
            return ::CompareStringOrdinal(entry.szExeFile, -1, name.c_str(),
                                          static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
        });
        if (entry.th32ProcessID != 0 && listed) {
            return true;
        }
    }
    return false;
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
