#include "silent/RegistryEntries.h"

#include <windows.h>

#include <optional>

#include "engine/KernelHandles.h"

namespace tessel {
namespace {

UniqueRegKey CreateKey(const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return UniqueRegKey(key);
}

bool SetString(const UniqueRegKey& key, const wchar_t* name, const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.Get(), name, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

// The value's text when it is a string, nothing otherwise.
std::optional<std::wstring> GetString(const UniqueRegKey& key, const wchar_t* name) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                           &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

bool WriteUninstallEntry(const RegistryPlan& plan) {
    const UniqueRegKey key = CreateKey(kUninstallKeyPath);
    return key && SetString(key, L"Publisher", kPublisher) &&
           SetString(key, L"DisplayName", plan.names.product) &&
           SetString(key, L"DisplayIcon", plan.installFolder + kLauncherFile) &&
           SetString(key, L"UninstallString", plan.installFolder + kUninstallerFile) &&
           SetString(key, L"DisplayVersion", plan.displayVersion) &&
           SetString(key, L"DisplayPath", plan.installFolder);
}

bool WriteLanguage(const RegistryPlan& plan) {
    const UniqueRegKey key = CreateKey(kProductSettingsKeyPath);
    return key && SetString(key, L"LANGUAGE", plan.names.languageId) &&
           SetString(key, L"LANGUAGE_TESSELAST", plan.names.languageId);
}

bool WriteAutoRun(const RegistryPlan& plan) {
    const bool wanted = plan.firstInstall ? plan.autoRun : AutoRunValueExists();
    const UniqueRegKey key = CreateKey(kRunKeyPath);
    if (!key) {
        return false;
    }
    if (!wanted) {
        const LSTATUS status = ::RegDeleteValueW(key.Get(), kRunValueName);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    const std::wstring launcher = plan.installFolder + kLauncherFile;
    if (GetString(key, kRunValueName) == launcher) {
        return true;
    }
    return SetString(key, kRunValueName, launcher);
}

bool WriteFloatingWindow() {
    const UniqueRegKey key = CreateKey(kProductSettingsKeyPath);
    return key && SetString(key, L"FloatingWindow", L"1");
}

}  // namespace

bool AutoRunValueExists() {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey key(opened);
    return ::RegQueryValueExW(key.Get(), kRunValueName, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

bool WriteRegistryEntries(const RegistryPlan& plan) {
    return WriteUninstallEntry(plan) && (!plan.firstInstall || WriteLanguage(plan)) &&
           WriteAutoRun(plan) && WriteFloatingWindow();
}

}  // namespace tessel
