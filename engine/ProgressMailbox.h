#pragma once

#include <functional>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace tessel {

// What the progress monitor and the install window share besides window messages. Both own it
// (std::shared_ptr), so it lives until the later of the two is done with it.
//
// Driver lines wait here in the order they were read; each WM_INSTALL_DRIVER tells the window to
// take the oldest one, so that the lines keep their places among the other install messages. Any
// process on the desktop can post that message, so it carries nothing the window would free or
// believe; a foreign one can at most make a line show early, never twice or out of order. The
// window closes the mailbox when it goes: from then on the monitor takes nothing more out of the
// channel and ends.
class ProgressMailbox {
public:
    ProgressMailbox() = default;
    ProgressMailbox(const ProgressMailbox&) = delete;
    ProgressMailbox& operator=(const ProgressMailbox&) = delete;

    // Ignored once the mailbox is closed.
    void PushDriverLine(std::string line);
    // The oldest line not yet taken; nothing when there is none.
    std::optional<std::string> TakeDriverLine();

    void Close();
    bool IsClosed() const;

    // Runs `take` unless the mailbox is closed, and keeps it from being closed meanwhile: once
    // Close has returned, no `take` runs any more. False when closed.
    bool TakeIfOpen(const std::function<void()>& take);

private:
    mutable std::mutex m_mutex;
    std::deque<std::string> m_driverLines;
    bool m_closed = false;
};

}  // namespace tessel
