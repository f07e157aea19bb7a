#include "app/DriverStepText.h"

#include <algorithm>

namespace tessel {
namespace {

constexpr size_t kMarkerLength = 2;  // "v:"
constexpr double kBarSpan = 90.0;    // driver steps fill the bar from 10 to 100
constexpr int kBarStart = 10;

// atoi of a bounded piece of text: leading blanks, an optional sign, decimal digits. Values beyond
// int saturate instead of overflowing.
int ReadLeadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x7FFFFFFFLL) {
            value = 0x80000000LL;
            break;
        }
    }
    value = negative ? -value : value;
    if (value > 0x7FFFFFFFLL) {
        value = 0x7FFFFFFFLL;
    }
    return static_cast<int>(value);
}

}  // namespace

std::optional<DriverStepDisplay> ParseDriverStep(std::string_view line) {
    if (line.size() < kMarkerLength || line.find("v:") == std::string_view::npos) {
        return std::nullopt;
    }
    // The sender puts "v:" first; the first two characters go, whatever they are.
    const std::string_view rest = line.substr(kMarkerLength);
    const size_t slash = rest.find('/');
    const size_t open = rest.find('[');
    const size_t close = rest.find(']');
    if (slash == std::string_view::npos || open == std::string_view::npos ||
        close == std::string_view::npos) {
        return std::nullopt;
    }
    const int current = ReadLeadingInteger(rest.substr(0, slash));
    const std::string_view totalPart =
        open > slash ? rest.substr(slash + 1, open - slash - 1) : rest.substr(slash + 1);
    const int total = ReadLeadingInteger(totalPart);
    if (current == 0 || total == 0) {
        return std::nullopt;
    }
    DriverStepDisplay display;
    // Huge counts give values far outside the bar's range; clamped only so the cast is defined.
    const double value = static_cast<double>(current) * kBarSpan / total + kBarStart;
    display.barValue = static_cast<int>(std::clamp(value, -2147483648.0, 2147483647.0));
    display.namePart = std::string(rest.substr(open));
    return display;
}

}  // namespace tessel
