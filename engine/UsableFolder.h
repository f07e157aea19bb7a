#pragma once

#include <string_view>

namespace tessel {

// Whether Windows can use `folder` as a folder to install into: the one rule the install window
// applies to what the user typed and the silent installer applies to its first field, so that a
// folder one program refuses is never used by the other.
//
// Usable: a drive letter, a colon and a separator ("C:\" or "C:/"), then names separated by
// either separator; empty names (doubled or trailing separators) are skipped. Refused:
// - anything without that start: relative ("Apps"), rooted ("\Apps"), drive-relative ("C:Apps",
//   "C:"), shares and device paths ("\\server\share", "\\?\C:\");
// - a name that is not a plain file name (engine/FileNameRules.h): one holding " < > | ? * : or a
//   character below U+0020, one ending in a dot or a blank (Windows would drop them, so the folder
//   made is not the folder named; this takes in "." and ".."), a device name ("nul.txt",
//   "Com1 .log", "LPT0"), one longer than 255 characters.
// A double quote matters most: the silent installer's command line quotes the folder, so one
// inside it would end the first field early and shift every field after it.
bool IsUsableFolder(std::wstring_view folder);

}  // namespace tessel
