#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessel {

// The moments of a program's start, kept in memory and told in one line of its log once the
// first frame is on screen: where the time between the process's creation and that frame went,
// for support and for the startup benchmark. One per process; used from the main thread only.
class StartupTimeline {
public:
    static StartupTimeline& Instance();

    // Records that the step `name` (a string literal) ended now. The first mark also records how
    // long the process had been running by then (from its creation time).
    void Mark(const wchar_t* name);
    // "<total> ms to <last step>: <name> <ms>, ..." with each step's own duration; empty before
    // the first mark.
    std::wstring Describe() const;
    // Marks the last step and describes the start, the first time only: empty afterwards (a
    // second window's first frame is no part of the program's start).
    std::wstring Finish(const wchar_t* name);

private:
    struct Moment {
        const wchar_t* name;
        LARGE_INTEGER at;
    };
    StartupTimeline() = default;

    bool m_finished = false;
    double m_beforeFirstMs = 0;  // from the process's creation to the first mark
    std::vector<Moment> m_moments;
};

}  // namespace tessel
