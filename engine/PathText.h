#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessel {

// Folder-text rules shared by the install window and the crash handler. Pure string logic; the
// two operations change their argument in place and also return a copy of the result.

// Removes trailing then leading backslashes, then trailing then leading forward slashes. The two
// kinds are removed one after the other, so "C:\A\/" keeps its backslash: "C:\A\".
std::wstring TrimSeparators(std::wstring& folder);

// TrimSeparators, then exactly one backslash appended: "D:\Games//" gives "D:\Games\".
std::wstring NormalizeFolder(std::wstring& folder);

// The lengths of the four parts the C runtime's path splitter (_wsplitpath_s) makes of `path`:
// the drive ("C:"), the directory (after the drive, up to and including the last separator of
// either kind), the file name, and the extension (from the last dot after that separator).
struct PathPartLengths {
    size_t drive = 0;
    size_t directory = 0;
    size_t name = 0;
    size_t extension = 0;
};
PathPartLengths SplitPathLengths(std::wstring_view path);

}  // namespace tessel
