#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessel {

// The kinds of progress message the silent installer writes into the channel.
enum class MessageStyle : int {
    ExtractionStart = 0,  // Param 100: the range of the percentages that follow
    ExtractionPercent = 1,
    Error = 2,             // Param: the failed step's code; the last message of the run
    Finished = 3,          // Param 1
    DriverLine = 4,        // sParam: a line of the driver-component helper, from "v:" on
    DriverDownloaded = 5,  // Param 0
};

// Error codes of the failing steps.
enum class InstallError : int {
    ProgramsStillRunning = 1,
    ExtractionFailed = 2,
    RegistryFailed = 3,
    ShortcutsFailed = 4,
};

inline constexpr int kExtractionRange = 100;

// Compact JSON, members in the order the reader documents: {"Name":"InstallSilence","Style":1,
// "Param":40}.
std::string FormatProgressMessage(MessageStyle style, int param);

// {"Name":"InstallSilence","Style":4,"sParam":"..."}. The line's bytes stay as they are (they are
// read in the ANSI code page); quotes, backslashes and control characters are escaped so that the
// message stays valid JSON whatever the helper wrote.
std::string FormatDriverLineMessage(std::string_view line);

// Items done times (100 / item total), truncated toward zero; 100 for an empty archive.
int ExtractionPercent(size_t done, size_t total);

}  // namespace tessel
