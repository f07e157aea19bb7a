#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// What one driver-component line ("v:3/10[Keyboard driver]") shows on the progress page.
struct DriverStepDisplay {
    int barValue = 0;      // current * 90 / total + 10, cut toward zero; may fall outside 0..100
    std::string namePart;  // from "[" to the end, brackets included, ANSI code page bytes
};

// Nothing when the line is malformed (no "v:", a missing "/", "[" or "]") or when its current or
// total count reads as 0: then neither the bar nor the status line changes.
std::optional<DriverStepDisplay> ParseDriverStep(std::string_view line);

}  // namespace tessel
