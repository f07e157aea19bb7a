#include "silent/ArchiveEntryPath.h"

#include "engine/FileNameRules.h"

namespace tessel {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

}  // namespace

std::optional<EntryTarget> ResolveEntryPath(std::wstring_view entryName) {
    if (entryName.empty() || IsSeparator(entryName.front())) {
        return std::nullopt;
    }
    EntryTarget target;
    target.isDirectory = IsSeparator(entryName.back());
    size_t start = 0;
    while (start <= entryName.size()) {
        size_t end = start;
        while (end < entryName.size() && !IsSeparator(entryName[end])) {
            ++end;
        }
        const std::wstring_view component = entryName.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == L".") {
            continue;
        }
        if (!IsPlainFileName(component)) {
            return std::nullopt;
        }
        if (!target.relativePath.empty()) {
            target.relativePath += L'\\';
        }
        target.relativePath += component;
    }
    if (target.relativePath.empty()) {
        return std::nullopt;
    }
    return target;
}

}  // namespace tessel
