#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The current user's registry as the programs use it: string and number values under keys given by
// their path below HKEY_CURRENT_USER. Free of <windows.h>; the one registry helper of every
// program. A write or delete that fails leaves the registry's status code as the thread's last
// error (GetLastError), for the caller to log.

// The text of a string value (REG_SZ or REG_EXPAND_SZ, taken as stored) up to its first
// terminator. Nothing when the key or value is absent, the value is no string, its data holds no
// terminator, or the text is longer than `maxLength` characters.
std::optional<std::wstring> ReadUserString(std::wstring_view keyPath, std::wstring_view valueName,
                                           size_t maxLength = static_cast<size_t>(-1));

// Whether the value exists, whatever its type.
bool UserValueExists(std::wstring_view keyPath, std::wstring_view valueName);

// Writes a REG_SZ value with its terminator counted in its length, creating the key (and any
// missing parents) when needed.
[[nodiscard]] bool WriteUserString(std::wstring_view keyPath, std::wstring_view valueName,
                                   std::wstring_view value);

// Writes a REG_DWORD value, creating the key as WriteUserString does.
[[nodiscard]] bool WriteUserNumber(std::wstring_view keyPath, std::wstring_view valueName,
                                   uint32_t value);

// True when the value is gone afterwards, also when it (or its key) was never there.
bool DeleteUserValue(std::wstring_view keyPath, std::wstring_view valueName);

// The key with everything below it; true when it is gone afterwards.
bool DeleteUserTree(std::wstring_view keyPath);

// The key only when nothing is left in it; true when it is gone afterwards.
bool DeleteUserKeyIfEmpty(std::wstring_view keyPath);

// The text in a string value's data of `bytes` bytes: the characters before the first terminator.
// Data without a terminator, or of an odd or zero length, holds no text: nothing.
std::optional<std::wstring> TerminatedRegistryText(const wchar_t* data, size_t bytes);

}  // namespace tessel
