#include "base/ProcessCleanup.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "base/KernelHandles.h"

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

std::vector<uint32_t> FindProcessesByName(const std::vector<std::wstring>& names) {
    std::vector<uint32_t> found;
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return found;
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
            found.push_back(entry.th32ProcessID);
        }
    }
    return found;
}

bool TerminateProcessesByName(std::vector<std::wstring> names) {
    for (const uint32_t processId : FindProcessesByName(names)) {
        Terminate(processId);
    }
    return true;
}

}  // namespace tessel
