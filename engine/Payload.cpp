#include "engine/Payload.h"

#include <cstring>
#include <vector>

#include "base/FileWrite.h"
#include "base/ModuleResource.h"
#include "base/ProductFacts.h"
#include "engine/SilentCommandLine.h"

namespace tessel {
namespace {

using ResourceBytes = std::span<const uint8_t>;

// Each failure leaves the failing call's error code in `error`.
bool WriteWholeFile(const std::wstring& path, ResourceBytes bytes, DWORD& error) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return false;
    }
    error = WriteAll(file.Get(), bytes);
    return error == ERROR_SUCCESS;
}

// Reopens the file so that only readers may share it, then checks that it still holds exactly the
// resource: the file was unguarded for the moment between closing the writer and this call. A file
// that changed meanwhile fails with ERROR_INVALID_DATA.
std::optional<PayloadLock> LockAndVerify(const std::wstring& path, ResourceBytes bytes,
                                         DWORD& error) {
    PayloadLock lock(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!lock) {
        error = ::GetLastError();
        return std::nullopt;
    }
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(lock.Get(), &size)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    if (static_cast<uint64_t>(size.QuadPart) != bytes.size()) {
        error = ERROR_INVALID_DATA;
        return std::nullopt;
    }
    std::vector<uint8_t> content(bytes.size());
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(lock.Get(), content.data(),
                                      static_cast<DWORD>(content.size()), &read, nullptr)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    if (read != content.size() || std::memcmp(content.data(), bytes.data(), bytes.size()) != 0) {
        error = ERROR_INVALID_DATA;
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
                                          DWORD* windowsError) {
    DWORD error = ERROR_SUCCESS;
    const auto resource =
        FindModuleResource(module, kPayloadResourceType, MAKEINTRESOURCEW(kPayloadResourceId));
    if (!resource) {
        error = ::GetLastError();
    }
    std::optional<PayloadLock> lock;
    if (resource && WriteWholeFile(payloadPath, *resource, error)) {
        lock = LockAndVerify(payloadPath, *resource, error);
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
