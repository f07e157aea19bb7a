#pragma once

#include <windows.h>

// Clocks of the benchmarks, in seconds.
namespace tessel::bench {

inline double ElapsedSeconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

inline LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now;
}

// Processor time (user and kernel) of the calling thread so far. The system counts it in clock
// ticks, so short spans come out in steps of about 10 ms.
inline double ThreadSeconds() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    constexpr double kTicksPerSecond = 1e7;  // FILETIME counts 100 ns
    return static_cast<double>(ticks(kernel) + ticks(user)) / kTicksPerSecond;
}

}  // namespace tessel::bench
