#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "base/KernelHandles.h"

namespace tessel {

// The silent installer travels in the installer's own module as resource "DATA" 18. It is written
// to the temporary folder once per run and started elevated from there.

inline constexpr WORD kPayloadResourceId = 18;
inline constexpr wchar_t kPayloadResourceType[] = L"DATA";

// A read-only handle on the written payload whose share mode refuses writers and deleters, so that
// nothing can swap the executable between its extraction and its elevated start. Its owner keeps it
// for as long as it may still launch the file.
using PayloadLock = UniqueFileHandle;

// The temporary folder (ending in a backslash) followed by "TesselInstallSilence.exe".
std::wstring GetPayloadPath();

// How much of the payload is written, and checked, at a time.
inline constexpr size_t kPayloadPieceBytes = 256 << 10;

// Writes the payload resource of `module` (null: the running executable) to `payloadPath`,
// replacing any file there, and locks the written file. The resource is read (PayloadSource:
// from the executable's file where it can) and written in pieces of `pieceBytes` and, once the
// file is locked, read back and compared piece by piece, so the process never holds more than a
// piece or two of it in memory, whatever the size of the product. Nothing when the resource
// is missing, the file cannot be created, the write is short, the locked file no longer holds
// exactly the resource's bytes, or `stop` was requested (between two pieces: the file written so
// far is then deleted); `windowsError` (when given) then gets the failing call's error code,
// ERROR_INVALID_DATA for a file that changed after it was written, ERROR_CANCELLED for a stop.
[[nodiscard]] std::optional<PayloadLock> ExtractPayload(const std::wstring& payloadPath,
                                                        HMODULE module = nullptr,
                                                        DWORD* windowsError = nullptr,
                                                        std::stop_token stop = {},
                                                        size_t pieceBytes = kPayloadPieceBytes);

// Starts a program as ShellExecuteExW would; tests replace it to simulate a refused elevation.
// An empty function means ShellExecuteExW itself.
using ShellExecuteFunction = std::function<bool(SHELLEXECUTEINFOW&)>;

// Formats the eight-field command line and starts `payloadPath` with the verb "runas" through
// `shellExecute` (empty: the shell's own). True when the system reports the start as successful.
// The started process goes to `process` when one is given (empty when the shell gave no handle);
// otherwise its handle is closed at once. On failure `windowsError` (when given) gets the start's
// error code (ERROR_CANCELLED: the user declined the elevation), 0 when the start set none.
bool LaunchSilentInstaller(const std::wstring& installFolder, bool autoRun, bool desktopShortcut,
                           const std::wstring& payloadPath,
                           const ShellExecuteFunction& shellExecute = {},
                           UniqueHandle* process = nullptr, DWORD* windowsError = nullptr);

}  // namespace tessel
