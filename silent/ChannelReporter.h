#pragma once

#include <string>
#include <string_view>

#include "engine/SharedMemoryMap.h"
#include "silent/ProgressReport.h"

namespace tessel {

// Writes the silent installer's progress messages into the channel. The channel holds one message
// and its reader takes them out by polling, so a message written over one not yet taken is lost.
// Only a percentage may be lost that way, to the next percentage: before any other write the
// reporter gives a reader that is present a short while to take the previous message. The end
// message of an update, which the second extraction's messages would otherwise overwrite at once,
// then always arrives, and so do the last percentage, the range and every driver line. When no
// reader takes anything within that while, the reporter stops waiting (until it sees the channel
// emptied again), so a run nobody follows is not slowed down.
class ChannelReporter {
public:
    // `channelName` in the ANSI code page. Opens (or creates) the channel; a channel that cannot
    // be opened makes every report a no-op.
    explicit ChannelReporter(std::string channelName);
    ChannelReporter(const ChannelReporter&) = delete;
    ChannelReporter& operator=(const ChannelReporter&) = delete;

    void Report(MessageStyle style, int param);
    void ReportDriverLine(std::string_view line);

    // Waits until the last message has been taken (or the reader is gone): called before the
    // program ends so that the end or error message is not the only one lost to an early exit.
    void Flush();

private:
    enum class Kind { Percentage, MustArrive };
    void Write(const std::string& message, Kind kind);
    bool WaitUntilTaken();

    std::string m_name;
    CSharedMemoryMap m_channel;
    bool m_open = false;
    bool m_readerPresent = true;  // until a message stays untaken for the whole wait
    Kind m_lastKind = Kind::Percentage;
};

}  // namespace tessel
