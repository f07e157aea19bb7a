#include "engine/Payload.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/FileWrite.h"
#include "base/ModuleResource.h"
#include "base/ProductFacts.h"
#include "engine/PayloadSource.h"
#include "engine/SilentCommandLine.h"

namespace tessel {
namespace {

using ResourceBytes = std::span<const uint8_t>;

// Large enough for any disk to be written at full speed, small enough for one ReadFile.
constexpr size_t kLargestPieceBytes = size_t{64} << 20;

// The payload in pieces of `pieceBytes` (between 1 and kLargestPieceBytes), the last one shorter,
// each read into one buffer and handed to `visit`.
template <typename Visit>
bool ForEachPiece(const PayloadSource& source, size_t pieceBytes, const std::stop_token& stop,
                  DWORD& error, Visit visit) {
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(pieceBytes, source.Size())));
    for (uint64_t at = 0; at < source.Size(); at += pieceBytes) {
        if (stop.stop_requested()) {
            error = ERROR_CANCELLED;
            return false;
        }
        const std::span<uint8_t> piece(
            buffer.data(), static_cast<size_t>(std::min<uint64_t>(pieceBytes, source.Size() - at)));
        error = source.Read(at, piece);
        if (error != ERROR_SUCCESS || !visit(ResourceBytes(piece))) {
            return false;
        }
    }
    return true;
}

// Each failure leaves the failing call's error code in `error`; a file left partly written is
// deleted.
bool WriteWholeFile(const std::wstring& path, const PayloadSource& source, size_t pieceBytes,
                    const std::stop_token& stop, DWORD& error) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return false;
    }
    const bool written = ForEachPiece(source, pieceBytes, stop, error, [&](ResourceBytes piece) {
        error = WriteAll(file.Get(), piece);
        return error == ERROR_SUCCESS;
    });
    if (!written) {
        file.Reset();
        ::DeleteFileW(path.c_str());
    }
    return written;
}

// Reopens the file so that only readers may share it, then checks that it still holds exactly the
// payload: the file was unguarded for the moment between closing the writer and this call. A file
// that changed meanwhile fails with ERROR_INVALID_DATA.
std::optional<PayloadLock> LockAndVerify(const std::wstring& path, const PayloadSource& source,
                                         size_t pieceBytes, const std::stop_token& stop,
                                         DWORD& error) {
    PayloadLock lock(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!lock) {
        error = ::GetLastError();
        return std::nullopt;
    }
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(lock.Get(), &size)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    if (static_cast<uint64_t>(size.QuadPart) != source.Size()) {
        error = ERROR_INVALID_DATA;
        return std::nullopt;
    }
    std::vector<uint8_t> content(
        static_cast<size_t>(std::min<uint64_t>(pieceBytes, source.Size())));
    const bool same = ForEachPiece(source, pieceBytes, stop, error, [&](ResourceBytes piece) {
        DWORD read = 0;
        if (!::ReadFile(lock.Get(), content.data(), static_cast<DWORD>(piece.size()), &read,
                        nullptr)) {
            error = ::GetLastError();
            return false;
        }
        if (read != piece.size() || std::memcmp(content.data(), piece.data(), piece.size()) != 0) {
            error = ERROR_INVALID_DATA;
            return false;
        }
        return true;
    });
    if (!same) {
        return std::nullopt;
    }
    return lock;
}

bool CallShellExecute(SHELLEXECUTEINFOW& info) {
    return ::ShellExecuteExW(&info) != FALSE;
}

}  // namespace

std::wstring GetPayloadPath() {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length) + kSilentInstallerFile;
}

std::optional<PayloadLock> ExtractPayload(const std::wstring& payloadPath, HMODULE module,
                                          DWORD* windowsError, std::stop_token stop,
                                          size_t pieceBytes) {
    DWORD error = ERROR_SUCCESS;
    pieceBytes = std::clamp<size_t>(pieceBytes, 1, kLargestPieceBytes);
    const auto resource =
        FindModuleResource(module, kPayloadResourceType, MAKEINTRESOURCEW(kPayloadResourceId));
    if (!resource) {
        error = ::GetLastError();
    }
    std::optional<PayloadLock> lock;
    if (resource && stop.stop_requested()) {
        error = ERROR_CANCELLED;
    } else if (resource) {
        const PayloadSource source(module, *resource);
        if (WriteWholeFile(payloadPath, source, pieceBytes, stop, error)) {
            lock = LockAndVerify(payloadPath, source, pieceBytes, stop, error);
        }
        if (!lock && error == ERROR_CANCELLED) {
            // Whole but never checked: nobody is to start it.
            ::DeleteFileW(payloadPath.c_str());
        }
    }
    if (!lock && windowsError != nullptr) {
        *windowsError = error;
    }
    return lock;
}

bool LaunchSilentInstaller(const std::wstring& installFolder, bool autoRun, bool desktopShortcut,
                           const std::wstring& payloadPath,
                           const ShellExecuteFunction& shellExecute, UniqueHandle* process,
                           DWORD* windowsError) {
    SilentInstallOptions options;
    options.installFolder = installFolder;
    options.autoRun = autoRun;
    options.desktopShortcut = desktopShortcut;
    options.language = ProductLanguageFor(::GetUserDefaultUILanguage());
    const std::wstring parameters = FormatSilentCommandLine(options);

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"runas";
    info.lpFile = payloadPath.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOW;
    // Cleared first, so that a start that fails without a code is not blamed on an older one.
    ::SetLastError(ERROR_SUCCESS);
    const bool started = shellExecute ? shellExecute(info) : CallShellExecute(info);
    const DWORD error = started ? ERROR_SUCCESS : ::GetLastError();
    if (windowsError != nullptr) {
        *windowsError = error;
    }
    UniqueHandle startedProcess(info.hProcess);
    if (started && process != nullptr) {
        *process = std::move(startedProcess);
    }
    return started;
}

}  // namespace tessel
