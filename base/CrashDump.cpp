#include "base/CrashDump.h"

#include <dbghelp.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>

#include "base/DirectoryTree.h"
#include "base/KernelHandles.h"
#include "base/SystemLibrary.h"

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
    HMODULE dbghelp = LoadSystemLibrary(L"dbghelp.dll").Release();
    if (dbghelp == nullptr) {
        return nullptr;
    }
    return ProcedureAddress<MiniDumpWriteDumpFunction>(dbghelp, "MiniDumpWriteDump");
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

namespace {

// The thread writing the one dump of this process, 0 before any crash.
std::atomic<DWORD> gCrashingThread{0};

enum class CrashTurn { First, Again, Other };

// A second crash on the thread already writing (inside the writing itself) must not wait for
// itself; a crash on another thread waits for the first one to end the process.
CrashTurn TakeCrashTurn() noexcept {
    const DWORD self = ::GetCurrentThreadId();
    DWORD expected = 0;
    if (gCrashingThread.compare_exchange_strong(expected, self)) {
        return CrashTurn::First;
    }
    return expected == self ? CrashTurn::Again : CrashTurn::Other;
}

// For a thread that crashed after another: the first one ends the process.
[[noreturn]] void WaitForTheEnd() noexcept {
    for (;;) {
        ::Sleep(INFINITE);
    }
}

void WriteCrashDump(EXCEPTION_POINTERS* exception) noexcept {
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_s(&local, &now);
    const std::wstring folder = CrashDumpFolder();
    CreateDirectoryTree(folder);
    const std::wstring dumpPath = folder + CrashDumpFileName(local);

    if (gWriteDump == nullptr) {
        return;  // no dbghelp: an empty file would only mislead
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
}

// Neither std::terminate nor abort raises an exception: the dump gets one made up on the spot, at
// the caller's place, so that it opens on the thread and the stack that ended the process.
[[noreturn]] __attribute__((noinline)) void DumpAndEndProcess() noexcept {
    const CrashTurn turn = TakeCrashTurn();
    if (turn == CrashTurn::Other) {
        WaitForTheEnd();
    }
    if (turn == CrashTurn::First) {
        CONTEXT context = {};
        ::RtlCaptureContext(&context);
        EXCEPTION_RECORD record = {};
        record.ExceptionCode = kFatalAppExitCode;
        record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
        record.ExceptionAddress = __builtin_return_address(0);
        EXCEPTION_POINTERS pointers = {&record, &context};
        WriteCrashDump(&pointers);
    }
    // At once, as an unhandled exception would: no exit handlers or destructors run on the state
    // that failed, and other threads are stopped where they are.
    ::TerminateProcess(::GetCurrentProcess(), kFatalAppExitCode);
    WaitForTheEnd();
}

[[noreturn]] void OnTerminate() noexcept {
    DumpAndEndProcess();
}

void OnAbortSignal(int) noexcept {
    DumpAndEndProcess();
}

}  // namespace

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) noexcept {
    switch (TakeCrashTurn()) {
        case CrashTurn::First:
            WriteCrashDump(exception);
            return EXCEPTION_EXECUTE_HANDLER;
        case CrashTurn::Again:
            return EXCEPTION_EXECUTE_HANDLER;
        case CrashTurn::Other:
            break;
    }
    WaitForTheEnd();
}

void InstallCrashHandler() noexcept {
    // No system error box either, should the filter itself fail.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (gWriteDump == nullptr) {
        gWriteDump = LoadWriteDump();
    }
    ::SetUnhandledExceptionFilter(OnUnhandledException);
    std::set_terminate(OnTerminate);
    std::signal(SIGABRT, OnAbortSignal);
    // abort shows "abnormal program termination" in a message box in a windowed program before it
    // raises SIGABRT; to the error stream there is nothing to wait for.
    _set_error_mode(_OUT_TO_STDERR);
}

}  // namespace tessel
