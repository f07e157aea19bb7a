// The notify hook of the runtime's delay-load helper (see cmake/DelayLoad.cmake): the first call
// into a delay-loaded system DLL loads it from the system folder by its full path. Every program
// that links the base library asks the linker for this hook by name, so it replaces the runtime's
// empty default.
#include <windows.h>
#include <delayimp.h>

#include <algorithm>
#include <cwctype>
#include <iterator>

#include "base/SystemLibrary.h"

namespace {

// The DLLs our programs delay-load, all of them from the system folder.
constexpr const wchar_t* kDelayLoaded[] = {L"gdiplus.dll", L"shell32.dll",  L"shlwapi.dll",
                                           L"ole32.dll",   L"oleaut32.dll", L"setupapi.dll"};

// `name` (ASCII, from the import table) is `dll`, compared without regard to case.
bool IsNamed(const char* name, const wchar_t* dll) {
    for (; *name != '\0' && *dll != L'\0'; ++name, ++dll) {
        if (std::towlower(static_cast<unsigned char>(*name)) != std::towlower(*dll)) {
            return false;
        }
    }
    return *name == '\0' && *dll == L'\0';
}

FARPROC WINAPI OnDelayLoadNotice(unsigned notice, PDelayLoadInfo info) noexcept {
    if (notice != dliNotePreLoadLibrary || info == nullptr || info->szDll == nullptr) {
        return nullptr;  // the helper goes on as it would without a hook
    }
    const auto known =
        std::find_if(std::begin(kDelayLoaded), std::end(kDelayLoaded),
                     [info](const wchar_t* dll) { return IsNamed(info->szDll, dll); });
    if (known == std::end(kDelayLoaded)) {
        return nullptr;
    }
    // Handed to the helper, which keeps the module for the life of the process.
    if (HMODULE module = tessel::LoadSystemLibrary(*known).Release()) {
        return reinterpret_cast<FARPROC>(module);
    }
    // Returning null would let the helper load the DLL by name, through the search order this
    // hook exists to avoid. Fail the call as the helper does for a missing DLL: the crash handler
    // records it.
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    ::RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
    return nullptr;
}

}  // namespace

// Declared with C linkage by <delayimp.h>; this is its one definition.
PfnDliHook __pfnDliNotifyHook2 = OnDelayLoadNotice;
