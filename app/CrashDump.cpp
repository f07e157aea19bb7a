#include "app/CrashDump.h"

#include <dbghelp.h>

#include "engine/FileSystem.h"
#include "engine/KernelHandles.h"

namespace tessel {
namespace {

constexpr size_t kNameBufferBytes = 260;
constexpr wchar_t kDumpFolderName[] = L"CrashRpt\\";

using MiniDumpWriteDumpFunction = decltype(&::MiniDumpWriteDump);

// dbghelp.dll is no system-protected DLL: imported, it would be looked for beside the executable
// first, where the elevated silent installer's folder (the temporary one) may hold a planted copy.
// Loaded once from System32 when the handler is installed, never inside the crash, and kept for
// the life of the process.
MiniDumpWriteDumpFunction gWriteDump = nullptr;

MiniDumpWriteDumpFunction LoadWriteDump() {
    wchar_t system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::wstring path = std::wstring(system, length) + L"\\dbghelp.dll";
    HMODULE dbghelp = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (dbghelp == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<MiniDumpWriteDumpFunction>(
        reinterpret_cast<void*>(::GetProcAddress(dbghelp, "MiniDumpWriteDump")));
}

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

    if (gWriteDump == nullptr) {
        return EXCEPTION_EXECUTE_HANDLER;  // no dbghelp: an empty file would only mislead
    }
    UniqueFileHandle file(::CreateFileW(dumpPath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        MINIDUMP_EXCEPTION_INFORMATION info = {};
        info.ThreadId = ::GetCurrentThreadId();
        info.ExceptionPointers = exception;
        info.ClientPointers = FALSE;
        gWriteDump(::GetCurrentProcess(), ::GetCurrentProcessId(), file.Get(), MiniDumpNormal,
                   &info, nullptr, nullptr);
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

void InstallCrashHandler() noexcept {
    // No system error box either, should the filter itself fail.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (gWriteDump == nullptr) {
        gWriteDump = LoadWriteDump();
    }
    ::SetUnhandledExceptionFilter(OnUnhandledException);
}

}  // namespace tessel
