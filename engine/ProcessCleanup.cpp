#include "engine/ProcessCleanup.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "engine/KernelHandles.h"

namespace tessel {
namespace {

bool SameFileName(const wchar_t* a, const std::wstring& b) {
    return ::CompareStringOrdinal(a, -1, b.c_str(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

void Terminate(DWORD processId) {
    UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    if (process) {
        ::TerminateProcess(process.Get(), 0);
    }
}

}  // namespace

bool TerminateProcessesByName(std::vector<std::wstring> names) {
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return true;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == 0) {
            continue;
        }
        const bool listed = std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
            return SameFileName(entry.szExeFile, name);
        });
        if (listed) {
            Terminate(entry.th32ProcessID);
        }
    }
    return true;
}

}  // namespace tessel
