#pragma once

#include <windows.h>

#include "base/SystemLibrary.h"

namespace tessel {

// Loads DLLs from System32 only (and the executable's own import table): a program started from a
// writable folder such as the temporary one must not pick up a planted DLL. Looked up at run time,
// as Windows 7 has the call only with its update KB2533623.
inline void RestrictDllSearchToSystem() noexcept {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault =
        ProcedureAddress<SetDefaultDllDirectoriesFunction>(kernel, "SetDefaultDllDirectories");
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryW(L"");  // the current folder leaves the search either way
}

}  // namespace tessel
