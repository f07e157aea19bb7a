#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SilentCommandLine.h"

namespace tessel {

// The silent installer's fields once split, before the channel name is turned into the ANSI code
// page (which needs the system): `options.channelName` is left empty for the caller to fill.
struct SilentArguments {
    SilentInstallOptions options;
    std::wstring channelName;
};

// Fields 1 to 8 of the argument text (the program's own name not included). Nothing, and the
// program must then do nothing at all (no file, no registry value, no message: not even the
// channel the fields name can be trusted), for
// - fewer than seven fields or more than eight: a double quote inside the folder ends the first
//   field early and the rest of the folder becomes fields of its own, shifting every later one;
// - a folder Windows cannot use (IsUsableFolder, the install window's rule too).
// The folder is normalised to end in exactly one backslash; the numbers are read the way atoi
// reads them (leading blanks and sign, then digits; anything else is 0); a missing eighth field
// counts as 0, simplified Chinese.
std::optional<SilentArguments> ParseSilentArguments(const std::vector<std::wstring>& fields);

// Leading blanks, an optional sign, then decimal digits; 0 when there are none. Saturates instead
// of overflowing.
int ParseDecimalField(std::wstring_view text);

// Language numbers other than 0 and 4 mean English.
ProductLanguage ProductLanguageFromNumber(int number);

// The fields as parsed, for the log: `folder "<folder>", autoRun 1, desktopShortcut 0,
// reportExtraction 1, channel "<name>", firstInstall 1, startProduct 0, language 1`, the flags as
// 0 or 1 and the language as the number it became.
std::wstring DescribeSilentArguments(const SilentArguments& arguments);

}  // namespace tessel
