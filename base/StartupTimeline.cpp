#include "base/StartupTimeline.h"

#include <cwchar>

namespace tessel {
namespace {

uint64_t Ticks(FILETIME time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// How long the process has been running, from its creation time (the system clock's resolution).
double MsSinceProcessCreation() {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user) ||
        Ticks(now) < Ticks(created)) {
        return 0;
    }
    return static_cast<double>(Ticks(now) - Ticks(created)) / 10'000.0;
}

}  // namespace

StartupTimeline& StartupTimeline::Instance() {
    static StartupTimeline timeline;
    return timeline;
}

void StartupTimeline::Mark(const wchar_t* name) {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    if (m_moments.empty()) {
        m_beforeFirstMs = MsSinceProcessCreation();
    }
    m_moments.push_back({name, now});
}

std::wstring StartupTimeline::Finish(const wchar_t* name) {
    if (m_finished) {
        return {};
    }
    m_finished = true;
    Mark(name);
    return Describe();
}

std::wstring StartupTimeline::Describe() const {
    if (m_moments.empty()) {
        return {};
    }
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    const auto ms = [&](LARGE_INTEGER from, LARGE_INTEGER to) {
        return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    };
    const double total = m_beforeFirstMs + ms(m_moments.front().at, m_moments.back().at);
    wchar_t part[160];
    std::swprintf(part, 160, L"%.0f ms to %ls: %ls %.0f ms", total, m_moments.back().name,
                  m_moments.front().name, m_beforeFirstMs);
    std::wstring text = part;
    for (size_t i = 1; i < m_moments.size(); ++i) {
        std::swprintf(part, 160, L", %ls %.0f ms", m_moments[i].name,
                      ms(m_moments[i - 1].at, m_moments[i].at));
        text += part;
    }
    return text;
}

}  // namespace tessel
