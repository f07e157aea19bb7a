#include "app/CrashDump.h"

#include <dbghelp.h>

#include "engine/FileSystem.h"
#include "engine/KernelHandles.h"

namespace tessel {
namespace {

constexpr size_t kNameBufferBytes = 260;
constexpr wchar_t kDumpFolderName[] = L"CrashRpt\\";

}  // namespace

std::wstring CrashDumpFileName(const std::tm& localTime) {
    char name[kNameBufferBytes] = {};
    const size_t length = std::strftime(name, sizeof(name), "%Y-%m-%d %H-%M-%S.dmp", &localTime);
    // Digits, dashes, a blank and a dot only: widening byte by byte is exact.
    return std::wstring(name, name + length);
}

std::wstring CrashDumpFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    folder.erase(folder.rfind(L'\\') + 1);  // npos + 1 clears a path without a separator
    return folder + kDumpFolderName;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) noexcept {
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_s(&local, &now);
    const std::wstring folder = CrashDumpFolder();
    CreateDirectoryTree(folder);
    const std::wstring dumpPath = folder + CrashDumpFileName(local);

    UniqueFileHandle file(::CreateFileW(dumpPath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        MINIDUMP_EXCEPTION_INFORMATION info = {};
        info.ThreadId = ::GetCurrentThreadId();
        info.ExceptionPointers = exception;
        info.ClientPointers = FALSE;
        ::MiniDumpWriteDump(::GetCurrentProcess(), ::GetCurrentProcessId(), file.Get(),
                            MiniDumpNormal, &info, nullptr, nullptr);
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

void InstallCrashHandler() noexcept {
    // No system error box either, should the filter itself fail.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(OnUnhandledException);
}

}  // namespace tessel
