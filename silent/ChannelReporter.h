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
// silent: the percentages and driver lines that follow are left out, not written over the unread
// message, until the reporter sees the channel emptied again (the next one then shows the newer
// state). So a run nobody follows is not slowed down, and a reader that only stalled (a busy
// machine, a window slow to answer) never has a text replaced under it, which it could take for
// another or clear unread together with the one it took. The decisive messages, a finish or an
// error, are never left out: a silent reader is given the whole while once more before one, and
// before the program ends; only a reader that lets that pass too is taken for gone, and a decisive
// message is then written over whatever is left. Anything else in the channel (another program's
// bytes) is written over once the while has passed, without giving up on the reader.
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
    // Whether the channel is (or becomes) free for a message of this urgency; may wait.
    bool MayWrite(Urgency urgency);
    // True once the channel is empty, false when the patience has passed first.
    bool WaitForEmpty() const;

    std::string m_name;
    CSharedMemoryMap m_channel;
    bool m_open = false;
    std::chrono::milliseconds m_patience;
    Reader m_reader = Reader::Present;
    std::string m_lastWritten;
};

}  // namespace tessel
