#pragma once

#include <string>
#include <string_view>

#include "engine/SharedMemoryMap.h"
#include "silent/ProgressReport.h"

namespace tessel {

// Writes the silent installer's progress messages into the channel. The channel holds one message
// and its reader takes them out by polling, so the reporter writes only into the empty channel:
// before each message it gives a reader that is present a while to take the previous one. Every
// message then arrives, in order, and none is written over a text being read. When its own last
// message stays untaken for that whole while, the reporter stops waiting (until it sees the
// channel emptied again), so a run nobody follows is not slowed down; a message written then may
// replace an unread one. Anything else left in the channel (another program's bytes) is written
// over once the while has passed, without giving up on the reader.
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
    // program ends so that the end or error message is taken while the program still runs.
    void Flush();

private:
    void Write(const std::string& message);
    bool WaitUntilTaken();

    std::string m_name;
    CSharedMemoryMap m_channel;
    bool m_open = false;
    bool m_readerPresent = true;  // until a message of ours stays untaken for the whole wait
    std::string m_lastWritten;
};

}  // namespace tessel
