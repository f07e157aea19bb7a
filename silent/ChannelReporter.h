#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "engine/SharedMemoryMap.h"
#include "silent/ProgressReport.h"

namespace tessel {

// Writes the silent installer's progress messages into the channel. The channel holds one message
// and its reader takes them out by polling, so the reporter writes only into the empty channel:
// before each message it gives a reader that is present a while to take the previous one. Every
// message then arrives, in order, and none is written over a text being read.
//
// When its own last message stays untaken for that whole while, the reporter takes the reader for
// silent and stops waiting for the percentages and driver lines that follow (until it sees the
// channel emptied again), so a run nobody follows is not slowed down; such a message may replace
// an unread one. The decisive messages, a finish or an error, are different: a reader that only
// stalled (a busy machine, a window slow to answer) would lose one written over the message it is
// taking, and then never leave page 1. So before a decisive message, and before the program ends,
// a silent reader is given the whole while once more; only a reader that lets that pass too is
// taken for gone. Anything else left in the channel (another program's bytes) is written over
// once the while has passed, without giving up on the reader.
class ChannelReporter {
public:
    // `channelName` in the ANSI code page. Opens (or creates) the channel; a channel that cannot
    // be opened makes every report a no-op.
    explicit ChannelReporter(std::string channelName);
    // With another patience than the default (2 s): for tests.
    ChannelReporter(std::string channelName, std::chrono::milliseconds patience);
    ChannelReporter(const ChannelReporter&) = delete;
    ChannelReporter& operator=(const ChannelReporter&) = delete;

    // A finish or an error is decisive (see above); every other style is not.
    void Report(MessageStyle style, int param);
    void ReportDriverLine(std::string_view line);

    // Waits until the last message has been taken (or the reader is gone): called before the
    // program ends so that the end or error message is taken while the program still runs.
    void Flush();

private:
    enum class Reader { Present, Silent, Gone };
    enum class Urgency { Ordinary, Decisive };

    void Write(const std::string& message, Urgency urgency);
    bool WaitUntilTaken(Urgency urgency);

    std::string m_name;
    CSharedMemoryMap m_channel;
    bool m_open = false;
    std::chrono::milliseconds m_patience;
    Reader m_reader = Reader::Present;  // Silent once a message of ours stayed untaken a while
    std::string m_lastWritten;
};

}  // namespace tessel
