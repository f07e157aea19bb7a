#pragma once

#include <string>
#include <string_view>

namespace tessel {

// Texts of the install window that need no window: placeholders in the language table's texts.

// `text` with its first `placeholder` ("%d", "%s") replaced by `value`; unchanged when it has
// none. Texts from the skin are never used as printf formats, so a stray "%" in a translation can
// do no harm.
std::wstring FillPlaceholder(std::wstring text, std::wstring_view placeholder,
                             std::wstring_view value);

}  // namespace tessel
