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

// Fields 1 to 8 of the argument text (the program's own name not included). Fewer than seven:
// nothing, and the program must do nothing at all. The folder is normalised to end in exactly one
// backslash; the numbers are read the way atoi reads them (leading blanks and sign, then digits;
// anything else is 0); a missing eighth field counts as 0, simplified Chinese.
std::optional<SilentArguments> ParseSilentArguments(const std::vector<std::wstring>& fields);

// Leading blanks, an optional sign, then decimal digits; 0 when there are none. Saturates instead
// of overflowing.
int ParseDecimalField(std::wstring_view text);

// Language numbers other than 0 and 4 mean English.
ProductLanguage ProductLanguageFromNumber(int number);

}  // namespace tessel
