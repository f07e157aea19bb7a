#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Cuts the helper's byte stream into lines at "\n", whatever the chunk boundaries of the pipe
// reads. A line that grows past `kMaxLineLength` without an end is dropped: a helper that never
// writes a newline must not make the installer hold an unbounded buffer.
class DriverLineSplitter {
public:
    static constexpr size_t kMaxLineLength = 64 * 1024;

    // The lines completed by `chunk`, without their "\n" (nor a "\r" before it).
    std::vector<std::string> Feed(std::string_view chunk);

private:
    std::string m_pending;
    bool m_discarding = false;  // inside an overlong line, until its end
};

// What one line of the helper means to the installation.
struct DriverLine {
    enum class Kind { Ignore, Progress, Downloaded, Done };
    Kind kind = Kind::Ignore;
    std::string progress;  // Progress: the line from "v:" on
};

DriverLine ClassifyDriverLine(std::string_view line);

}  // namespace tessel
