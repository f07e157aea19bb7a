// The pure part of the registry helper: reading a text out of a value's raw data.
#include "base/Registry.h"

namespace tessel {

std::optional<std::wstring> TerminatedRegistryText(const wchar_t* data, size_t bytes) {
    if (data == nullptr || bytes == 0 || bytes % sizeof(wchar_t) != 0) {
        return std::nullopt;
    }
    const std::wstring_view stored(data, bytes / sizeof(wchar_t));
    const size_t end = stored.find(L'\0');
    if (end == std::wstring_view::npos) {
        return std::nullopt;
    }
    return std::wstring(stored.substr(0, end));
}

}  // namespace tessel
