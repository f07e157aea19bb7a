#include "base/Registry.h"

#include <windows.h>

#include <vector>

#include "base/KernelHandles.h"

namespace tessel {
namespace {

UniqueRegKey OpenUserKey(std::wstring_view keyPath, REGSAM access) {
    const std::wstring path(keyPath);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return {};
    }
    return UniqueRegKey(key);
}

bool IsGone(LSTATUS status) {
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ||
           status == ERROR_PATH_NOT_FOUND;
}

// True for success; otherwise the status becomes the thread's last error. Called once every key of
// the operation is closed, so that no later call overwrites it.
bool Succeeded(LSTATUS status) {
    if (status == ERROR_SUCCESS) {
        return true;
    }
    ::SetLastError(static_cast<DWORD>(status));
    return false;
}

// A delete's status: true when the key or value is gone, whether or not it was there before.
bool Gone(LSTATUS status) {
    return Succeeded(IsGone(status) ? ERROR_SUCCESS : status);
}

LSTATUS SetUserValue(std::wstring_view keyPath, std::wstring_view valueName, DWORD type,
                     const void* data, DWORD bytes) {
    const std::wstring path(keyPath);
    HKEY created = nullptr;
    const LSTATUS create =
        ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &created, nullptr);
    if (create != ERROR_SUCCESS) {
        return create;
    }
    const UniqueRegKey key(created);
    const std::wstring name(valueName);
    return ::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            bytes);
}

LSTATUS DeleteValue(std::wstring_view keyPath, std::wstring_view valueName) {
    const std::wstring path(keyPath);
    HKEY opened = nullptr;
    const LSTATUS open =
        ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &opened);
    if (open != ERROR_SUCCESS) {
        return open;
    }
    const UniqueRegKey key(opened);
    const std::wstring name(valueName);
    return ::RegDeleteValueW(key.Get(), name.c_str());
}

}  // namespace

std::optional<std::wstring> ReadUserString(std::wstring_view keyPath, std::wstring_view valueName,
                                           size_t maxLength) {
    const UniqueRegKey key = OpenUserKey(keyPath, KEY_QUERY_VALUE);
    if (!key) {
        return std::nullopt;
    }
    const std::wstring name(valueName);
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    // Its text and terminator must fit: a longer value is refused before anything is read.
    if (maxLength != static_cast<size_t>(-1) && bytes > (maxLength + 1) * sizeof(wchar_t)) {
        return std::nullopt;
    }
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    return TerminatedRegistryText(data.data(), bytes);
}

bool UserValueExists(std::wstring_view keyPath, std::wstring_view valueName) {
    const UniqueRegKey key = OpenUserKey(keyPath, KEY_QUERY_VALUE);
    const std::wstring name(valueName);
    return key && ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
}

bool WriteUserString(std::wstring_view keyPath, std::wstring_view valueName,
                     std::wstring_view value) {
    const std::wstring text(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return Succeeded(SetUserValue(keyPath, valueName, REG_SZ, text.c_str(), bytes));
}

bool WriteUserNumber(std::wstring_view keyPath, std::wstring_view valueName, uint32_t value) {
    const DWORD number = value;
    return Succeeded(SetUserValue(keyPath, valueName, REG_DWORD, &number, sizeof(number)));
}

bool DeleteUserValue(std::wstring_view keyPath, std::wstring_view valueName) {
    return Gone(DeleteValue(keyPath, valueName));
}

bool DeleteUserTree(std::wstring_view keyPath) {
    const std::wstring path(keyPath);
    return Gone(::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str())) &&
           Gone(::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()));
}

bool DeleteUserKeyIfEmpty(std::wstring_view keyPath) {
    const std::wstring path(keyPath);
    return Gone(::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()));
}

}  // namespace tessel
