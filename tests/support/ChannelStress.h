#pragma once

// The messages `channel_peer report` writes, so that the test reading them knows each one.
#include <string>

namespace tessel::testing_support {

// Message `index` of a stress run: an even index is the percentage `index`, an odd one a driver
// line whose length varies from message to message, so that a text torn between two neighbours
// cannot pass for either.
inline bool IsStressPercentage(int index) {
    return index % 2 == 0;
}
inline std::string StressDriverLine(int index) {
    constexpr int kLengthCycle = 61;
    return "v:" + std::to_string(index) + "[" + std::string(index % kLengthCycle, 'x') + "]";
}

}  // namespace tessel::testing_support
