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
    const std::wstring path(keyPath);
    HKEY created = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey key(created);
    const std::wstring name(valueName);
    const std::wstring text(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

bool DeleteUserValue(std::wstring_view keyPath, std::wstring_view valueName) {
    const std::wstring path(keyPath);
    HKEY opened = nullptr;
    const LSTATUS open =
        ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &opened);
    if (open != ERROR_SUCCESS) {
        return IsGone(open);
    }
    const UniqueRegKey key(opened);
    const std::wstring name(valueName);
    return IsGone(::RegDeleteValueW(key.Get(), name.c_str()));
}

bool DeleteUserTree(std::wstring_view keyPath) {
    const std::wstring path(keyPath);
    return IsGone(::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str())) &&
           IsGone(::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()));
}

bool DeleteUserKeyIfEmpty(std::wstring_view keyPath) {
    const std::wstring path(keyPath);
    return IsGone(::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()));
}

}  // namespace tessel
