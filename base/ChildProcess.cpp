#include "base/ChildProcess.h"

namespace tessel {

UniqueHandle StartChildProcess(std::wstring commandLine, const ChildProcessStart& start) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(start.program, commandLine.data(), nullptr, nullptr, FALSE,
                          start.creationFlags, nullptr, start.folder, &startup, &info)) {
        return {};
    }
    const UniqueHandle thread(info.hThread);
    return UniqueHandle(info.hProcess);
}

std::optional<DWORD> WaitForExitCode(const UniqueHandle& process, DWORD timeoutMs) {
    DWORD code = 0;
    if (!process || ::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.Get(), &code)) {
        return std::nullopt;
    }
    return code;
}

}  // namespace tessel
