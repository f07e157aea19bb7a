#pragma once

#include <windows.h>

#include <ctime>
#include <string>

namespace tessel {

// What a C++ ending (std::terminate, abort) records as its exception code in the dump and leaves
// as the process's exit code: STATUS_FATAL_APP_EXIT, the code Windows itself gives an application
// that ended itself on a fatal error.
inline constexpr DWORD kFatalAppExitCode = 0x40000015;

// The process-wide last-chance exception filter. On any thread's unhandled exception it writes a
// minidump of the process into "CrashRpt" beside the executable (created on the first crash), named
// by the local time, and lets the process end with the exception's code: no dialog, nothing shown,
// since a crashed installer must not wait for a user who may not be there. Of several threads
// crashing at once only the first writes a dump; the others wait for the end of the process.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) noexcept;

// Installs OnUnhandledException, and the same dump for a C++ ending that raises no exception the
// filter would see: std::terminate (an exception escaping a noexcept window procedure or thread
// body, or no handler at all) and abort (SIGABRT). Those end the process with kFatalAppExitCode,
// without the runtime's message. First thing at start, before any other thread exists.
void InstallCrashHandler() noexcept;

// "<executable's folder>\CrashRpt\".
std::wstring CrashDumpFolder();

// "%Y-%m-%d %H-%M-%S.dmp" of a local time, for example "2024-05-06 13-04-59.dmp".
std::wstring CrashDumpFileName(const std::tm& localTime);

}  // namespace tessel
