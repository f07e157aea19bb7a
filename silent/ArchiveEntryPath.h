#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// Where one archive entry may be written, relative to the install folder.
struct EntryTarget {
    std::wstring relativePath;  // components joined by "\", never empty
    bool isDirectory = false;
};

// Maps an archive entry name (already widened) onto a path under the install folder, or nothing
// when the entry could land anywhere else or on something that is not a plain file:
//   - an absolute name ("\x", "/x", "\\server\share"), a drive ("C:x"), any ":" (which would also
//     name an alternate data stream);
//   - a ".." component, or any component ending in "." or " " (Windows drops those, so "..." or
//     ".. " would turn into ".." once the system resolves the path); "." components are skipped;
//   - a component that is not a plain file name (engine/FileNameRules.h): device names also with
//     an extension ("nul.txt"), control characters, the characters <>"|?*, more than 255
//     characters;
//   - a name with no component left.
// "/" and "\" both separate components; empty components ("a//b") are skipped.
std::optional<EntryTarget> ResolveEntryPath(std::wstring_view entryName);

}  // namespace tessel
