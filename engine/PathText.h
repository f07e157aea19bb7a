#pragma once

#include <string>

namespace tessel {

// Folder-text rules shared by the install window and the crash handler. Pure string logic; the
// two operations change their argument in place and also return a copy of the result.

// Removes trailing then leading backslashes, then trailing then leading forward slashes. The two
// kinds are removed one after the other, so "C:\A\/" keeps its backslash: "C:\A\".
std::wstring TrimSeparators(std::wstring& folder);

// TrimSeparators, then exactly one backslash appended: "D:\Games//" gives "D:\Games\".
std::wstring NormalizeFolder(std::wstring& folder);

}  // namespace tessel
