#include "silent/ChannelReporter.h"

#include <windows.h>

#include <chrono>

namespace tessel {
namespace {

using Clock = std::chrono::steady_clock;

// The installer's monitor looks every 5 ms when idle; a reader that has not taken a message within
// this time is not reading any more. Generous, so that a monitor starved by a busy machine still
// counts.
constexpr auto kReaderPatience = std::chrono::milliseconds(1000);
// A monitor that has just taken a message looks again at once: in a burst the next one is taken
// within microseconds, so the first stretch of the wait only yields the time slice.
constexpr auto kEagerWait = std::chrono::milliseconds(2);
constexpr DWORD kPollMs = 1;

}  // namespace

ChannelReporter::ChannelReporter(std::string channelName) : m_name(std::move(channelName)) {
    m_open = m_channel.Open(m_name) != nullptr;
}

void ChannelReporter::Report(MessageStyle style, int param) {
    Write(FormatProgressMessage(style, param));
}

void ChannelReporter::ReportDriverLine(std::string_view line) {
    Write(FormatDriverLineMessage(line));
}

void ChannelReporter::Flush() {
    if (m_open) {
        WaitUntilTaken();
    }
}

bool ChannelReporter::WaitUntilTaken() {
    if (m_channel.IsEmpty(m_name)) {
        m_readerPresent = true;
        return true;
    }
    if (!m_readerPresent) {
        return false;
    }
    const Clock::time_point start = Clock::now();
    for (auto waited = Clock::duration::zero(); waited < kReaderPatience;
         waited = Clock::now() - start) {
        if (waited < kEagerWait) {
            ::SwitchToThread();
        } else {
            ::Sleep(kPollMs);
        }
        if (m_channel.IsEmpty(m_name)) {
            return true;
        }
    }
    // Only our own message left untaken says that nobody reads.
    m_readerPresent = m_lastWritten.empty() || m_channel.Read(m_name) != m_lastWritten;
    return false;
}

void ChannelReporter::Write(const std::string& message) {
    if (!m_open) {
        return;
    }
    WaitUntilTaken();
    m_channel.Write(m_name, message);
    m_lastWritten = message;
}

}  // namespace tessel
