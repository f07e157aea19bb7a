#pragma once

#include <windows.h>

#include <ctime>
#include <string>

namespace tessel {

// The process-wide last-chance exception filter. On any thread's unhandled exception it writes a
// minidump of the process into "CrashRpt" beside the executable (created on the first crash), named
// by the local time, and lets the process end with the exception's code: no dialog, nothing shown,
// since a crashed installer must not wait for a user who may not be there.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) noexcept;

// Installs OnUnhandledException; first thing at start, before any other thread exists.
void InstallCrashHandler() noexcept;

// "<executable's folder>\CrashRpt\".
std::wstring CrashDumpFolder();

// "%Y-%m-%d %H-%M-%S.dmp" of a local time, for example "2024-05-06 13-04-59.dmp".
std::wstring CrashDumpFileName(const std::tm& localTime);

}  // namespace tessel
