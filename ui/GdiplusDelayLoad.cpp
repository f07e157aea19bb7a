// The notify hook of the runtime's delay-load helper for GDI+ (see cmake/GdiplusDelayLoad.cmake):
// the first GDI+ call of the process loads gdiplus.dll from the system folder by its full path.
// Every program that links the framework asks the linker for this hook by name, so it replaces
// the runtime's empty default.
#include <windows.h>
#include <delayimp.h>

#include <cstring>

#include "base/SystemLibrary.h"

namespace {

constexpr char kGdiplusDll[] = "gdiplus.dll";

FARPROC WINAPI OnDelayLoadNotice(unsigned notice, PDelayLoadInfo info) noexcept {
    if (notice != dliNotePreLoadLibrary || info == nullptr || info->szDll == nullptr ||
        _stricmp(info->szDll, kGdiplusDll) != 0) {
        return nullptr;  // the helper goes on as it would without a hook
    }
    // Handed to the helper, which keeps the module for the life of the process.
    if (HMODULE gdiplus = tessel::LoadSystemLibrary(L"gdiplus.dll").Release()) {
        return reinterpret_cast<FARPROC>(gdiplus);
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
