// A DLL left beside a program by someone else: once loaded, it leaves "<its own path>.loaded".
#include <windows.h>

#include <string>

#include "base/KernelHandles.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(instance, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::wstring marker = std::wstring(path, length) + L".loaded";
        tessel::UniqueFileHandle(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return TRUE;
}
