#pragma once

#include <string>

#include "base/DirectoryTree.h"
#include "engine/PathText.h"

namespace tessel {

// Drive and folder operations of the install window and the crash handler. None of them reports an
// error: the folder rules of the install action decide from their results alone.

// The drive component of `path` ("C:"), or empty for a relative path, a UNC path, or a path whose
// directory, file name or extension is too long for the runtime's path splitter (more than 255
// characters; see SplitPathLengths).
std::wstring GetPathDrive(const std::wstring& path);

// The roots of all logical drives joined without separators, such as "C:\D:\Z:\".
std::wstring GetLogicalDrivesText();

// True when the folder did not exist (it is then created with its parents; whether that worked is
// not checked) or exists and holds no entries. A path naming a file gives true as well.
bool EnsureEmptyFolder(std::wstring folder);

// The Program Files folder (the x86 one for a 32-bit process on 64-bit Windows), or empty.
std::wstring GetProgramFilesFolder();

}  // namespace tessel
