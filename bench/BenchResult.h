#pragma once

#include <cstdio>
#include <string>

// The lines scripts/bench.sh gathers into the table it prints at the end, one per figure:
// "result|<figure>|<what was measured>|<goal>". Each program also prints its own report.
namespace tessel::bench {

inline void PrintResult(const std::string& figure, const std::string& measured,
                        const std::string& goal) {
    std::printf("result|%s|%s|%s\n", figure.c_str(), measured.c_str(), goal.c_str());
}

// "84.3 / 50.0 ms = 1.69": a figure, its floor measured in the same run, and their ratio.
inline std::string RatioText(double value, double floor, const char* unit) {
    char text[96];
    std::snprintf(text, sizeof(text), "%.1f / %.1f %s = %.2f", value, floor, unit,
                  floor > 0 ? value / floor : 0.0);
    return text;
}

inline std::string ValueText(double value, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.1f %s", value, unit);
    return text;
}

}  // namespace tessel::bench
