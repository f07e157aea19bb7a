#include "app/InstallTexts.h"

namespace tessel {

std::wstring FillPlaceholder(std::wstring text, std::wstring_view placeholder,
                             std::wstring_view value) {
    const size_t at = text.find(placeholder);
    if (at != std::wstring::npos && !placeholder.empty()) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

}  // namespace tessel
