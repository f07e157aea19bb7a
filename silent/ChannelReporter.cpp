#include "silent/ChannelReporter.h"

#include <windows.h>

#include <chrono>

namespace tessel {
namespace {

using Clock = std::chrono::steady_clock;

// The installer's monitor looks every 5 ms when idle; a reader that has not taken a message within
// this time is not reading any more, or is stalled. Generous, so that a monitor starved by a busy
// machine still counts.
constexpr auto kDefaultPatience = std::chrono::milliseconds(2000);
// A monitor that has just taken a message looks again at once: in a burst the next one is taken
// within microseconds, so the first stretch of the wait only yields the time slice.
constexpr auto kEagerWait = std::chrono::milliseconds(2);
constexpr DWORD kPollMs = 1;

bool IsDecisive(MessageStyle style) {
    return style == MessageStyle::Finished || style == MessageStyle::Error;
}

}  // namespace

ChannelReporter::ChannelReporter(std::string channelName)
    : ChannelReporter(std::move(channelName), kDefaultPatience) {}

ChannelReporter::ChannelReporter(std::string channelName, std::chrono::milliseconds patience)
    : m_name(std::move(channelName)), m_patience(patience) {
    m_open = m_channel.Open(m_name) != nullptr;
}

void ChannelReporter::Report(MessageStyle style, int param) {
    Write(FormatProgressMessage(style, param),
          IsDecisive(style) ? Urgency::Decisive : Urgency::Ordinary);
}

void ChannelReporter::ReportDriverLine(std::string_view line) {
    Write(FormatDriverLineMessage(line), Urgency::Ordinary);
}

void ChannelReporter::Flush() {
    if (m_open) {
        // The last message decides the run: waited for as for a decisive one, not written again.
        (void)MayWrite(Urgency::Decisive);
    }
}

bool ChannelReporter::MayWrite(Urgency urgency) {
    for (;;) {
        if (m_channel.IsEmpty(m_name)) {
            m_reader = Reader::Present;
            return true;
        }
        if (m_reader == Reader::Gone) {
            return urgency == Urgency::Decisive;
        }
        if (m_reader == Reader::Silent && urgency == Urgency::Ordinary) {
            return false;
        }
        if (WaitForEmpty()) {
            m_reader = Reader::Present;
            return true;
        }
        // Only our own message left untaken says that nobody reads.
        if (m_lastWritten.empty() || m_channel.Read(m_name) != m_lastWritten) {
            return true;
        }
        m_reader = m_reader == Reader::Present ? Reader::Silent : Reader::Gone;
    }
}

bool ChannelReporter::WaitForEmpty() const {
    const Clock::time_point start = Clock::now();
    for (auto waited = Clock::duration::zero(); waited < m_patience;
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
    return false;
}

void ChannelReporter::Write(const std::string& message, Urgency urgency) {
    if (!m_open || !MayWrite(urgency)) {
        return;
    }
    m_channel.Write(m_name, message);
    m_lastWritten = message;
}

}  // namespace tessel
