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
// - a name holding a character names cannot have: " < > | ? * :, or one below U+0020;
// - a name ending in a dot or a blank (Windows would drop them, so the folder made is not the
//   folder named), which takes in "." and "..";
// - a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9 and their superscript forms, CONIN$,
//   CONOUT$) in any letter case, alone or before a dot ("nul.txt", "Com1 .log");
// - a name longer than 255 characters, more than any Windows file system stores.
// A double quote matters most: the silent installer's command line quotes the folder, so one
// inside it would end the first field early and shift every field after it.
bool IsUsableFolder(std::wstring_view folder);

}  // namespace tessel
