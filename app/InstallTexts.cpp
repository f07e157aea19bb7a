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

std::wstring TerminatedRegistryText(const wchar_t* data, size_t bytes) {
    if (data == nullptr || bytes == 0 || bytes % sizeof(wchar_t) != 0) {
        return {};
    }
    const std::wstring_view stored(data, bytes / sizeof(wchar_t));
    const size_t end = stored.find(L'\0');
    return end == std::wstring_view::npos ? std::wstring() : std::wstring(stored.substr(0, end));
}

}  // namespace tessel
