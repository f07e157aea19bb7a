#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessel {

// Texts of the install window that need no window: placeholders in the language table's texts
// and registry strings.

// `text` with its first `placeholder` ("%d", "%s") replaced by `value`; unchanged when it has
// none. Texts from the skin are never used as printf formats, so a stray "%" in a translation can
// do no harm.
std::wstring FillPlaceholder(std::wstring text, std::wstring_view placeholder,
                             std::wstring_view value);

// The string in a registry value's data of `bytes` bytes: the characters before the first NUL.
// Data without a NUL, or of an odd or zero length, holds no string: empty.
std::wstring TerminatedRegistryText(const wchar_t* data, size_t bytes);

}  // namespace tessel
