#pragma once

// Helpers for tests that start real processes and use real folders under Wine.
#include <windows.h>

#include <string>

#include "base/ChildProcess.h"
#include "base/KernelHandles.h"

namespace tessel::testing_support {

// A Unix path from the build (a compile definition) as Wine sees it: the Linux root is drive Z:.
inline std::wstring FromBuildPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p) {
        path.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return path;
}

#ifdef TESSEL_SUPPORT_DIR
// A program of tests/support, by file name.
inline std::wstring SupportProgram(const wchar_t* fileName) {
    return FromBuildPath(TESSEL_SUPPORT_DIR) + L"\\" + fileName;
}
#endif

// Starts `commandLine` (no window, no inherited handles). The handle is empty on failure.
inline UniqueHandle StartProcess(const std::wstring& commandLine) {
    return StartChildProcess(commandLine, {.creationFlags = CREATE_NO_WINDOW});
}

// Runs `commandLine` to its end; its exit code, or -1 when it did not start or end in time.
inline long RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 30'000) {
    const auto code = WaitForExitCode(StartProcess(commandLine), timeoutMs);
    return code ? static_cast<long>(*code) : -1;
}

// A new, empty folder under the temporary folder, named after `prefix` and this process. Wine
// reuses process ids, so a name an earlier run left behind is passed over: the folder returned was
// made by this call and holds nothing.
inline std::wstring MakeTempFolder(const std::wstring& prefix) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    for (;;) {
        std::wstring folder = std::wstring(temp) + prefix + L"-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
        if (::CreateDirectoryW(folder.c_str(), nullptr) ||
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return folder;
        }
    }
}

}  // namespace tessel::testing_support
