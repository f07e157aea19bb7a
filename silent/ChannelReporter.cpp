#include "silent/ChannelReporter.h"

#include <windows.h>

namespace tessel {
namespace {

// The installer's monitor polls every 5 ms; a reader that has not taken a message within this
// time is not reading any more. Generous, so that a monitor starved by a busy machine still counts.
constexpr DWORD kReaderPatienceMs = 1000;
constexpr DWORD kPollMs = 1;

}  // namespace

ChannelReporter::ChannelReporter(std::string channelName) : m_name(std::move(channelName)) {
    m_open = m_channel.Open(m_name) != nullptr;
}

void ChannelReporter::Report(MessageStyle style, int param) {
    Write(FormatProgressMessage(style, param),
          style == MessageStyle::ExtractionPercent ? Kind::Percentage : Kind::MustArrive);
}

void ChannelReporter::ReportDriverLine(std::string_view line) {
    Write(FormatDriverLineMessage(line), Kind::MustArrive);
}

void ChannelReporter::Flush() {
    if (m_open) {
        WaitUntilTaken();
    }
}

bool ChannelReporter::WaitUntilTaken() {
    if (m_channel.Read(m_name).empty()) {
        m_readerPresent = true;
        return true;
    }
    if (!m_readerPresent) {
        return false;
    }
    const ULONGLONG deadline = ::GetTickCount64() + kReaderPatienceMs;
    while (::GetTickCount64() < deadline) {
        ::Sleep(kPollMs);
        if (m_channel.Read(m_name).empty()) {
            return true;
        }
    }
    m_readerPresent = false;
    return false;
}

void ChannelReporter::Write(const std::string& message, Kind kind) {
    if (!m_open) {
        return;
    }
    // A percentage over a percentage loses nothing the window needs: it shows the newer one.
    if (kind == Kind::MustArrive || m_lastKind == Kind::MustArrive) {
        WaitUntilTaken();
    }
    m_channel.Write(m_name, message);
    m_lastKind = kind;
}

}  // namespace tessel
