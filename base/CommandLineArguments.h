#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/UniqueResource.h"

namespace tessel {

// The array CommandLineToArgvW allocates, freed with LocalFree.
struct LocalArgumentsTraits {
    using Type = LPWSTR*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type memory) noexcept { ::LocalFree(memory); }
};

// `text` split by the rules of CommandLineToArgvW. Given a whole command line, the first field is
// the program; given only the argument text, the first field is taken literally up to the next
// double quote, so a folder there may end in a backslash. An empty text gives no field (the system
// call would give the program's own path).
inline std::vector<std::wstring> SplitArguments(const wchar_t* text) {
    std::vector<std::wstring> fields;
    if (text == nullptr || text[0] == L'\0') {
        return fields;
    }
    int count = 0;
    const UniqueResource<LocalArgumentsTraits> split(::CommandLineToArgvW(text, &count));
    for (int i = 0; split && i < count; ++i) {
        fields.emplace_back(split.Get()[i]);
    }
    return fields;
}

}  // namespace tessel
