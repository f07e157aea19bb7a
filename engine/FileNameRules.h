#pragma once

#include <string_view>

namespace tessel {

// The rules for one name in a path (no separators in it), shared by the folder the user chooses and
// the entries of the product archive.

// Whether Windows creates a file or folder under exactly this name: not empty, at most 255
// characters (more than any Windows file system stores), no character below U+0020 and none of
// " < > | ? * : (the colon would also name an alternate data stream), not ending in a dot or a
// blank (Windows drops them, so "..." or "a." would name another entry), and not a device name.
bool IsPlainFileName(std::wstring_view name);

// The names Windows maps to devices in every folder: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM and
// LPT followed by a digit 0-9 or a superscript one, two or three; in any letter case, alone or
// before a dot ("nul.txt"), with blanks before the dot ignored ("Com1 .log").
bool IsReservedDeviceName(std::wstring_view name);

}  // namespace tessel
