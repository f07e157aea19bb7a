#pragma once

#include "base/KernelHandles.h"

namespace tessel {

// Loads `fileName` ("gdiplus.dll") from the system folder by its full path, never through the
// search order: a DLL that is not one of the system's known DLLs on every supported Windows would
// otherwise be looked for beside the executable first. A full path needs neither
// SetDefaultDllDirectories nor LOAD_LIBRARY_SEARCH_SYSTEM32, which Windows 7 has only with an
// update; the DLL's own imports are then looked for in the system folder too. Empty on failure.
UniqueModule LoadSystemLibrary(const wchar_t* fileName) noexcept;

// The function `name` that `module` exports, as the function type it is; null when the module is
// null or has no such export. The one place the cast through void* is written.
template <typename Function>
Function ProcedureAddress(HMODULE module, const char* name) noexcept {
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace tessel
