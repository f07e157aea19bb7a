#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "ui/UiEvents.h"

namespace tessel {

class CControlUI;

// One window's notifications on their way to whoever listens: the sender's own listeners first,
// then every notifier in the order they were added. Delivery is either immediate or at the next
// drain, which also deletes the controls removed from the tree since the last one: by then none of
// their events can still be on the stack.
//
// The drain is asked for once (the paint manager posts itself a message) and not again until it
// has run, however many notifications and controls wait for it.
//
// Ownership: owns the queued records and the removed controls until the drain. Notifiers are not
// owned; whoever adds one removes it before it dies.
class NotificationQueue {
public:
    // Asks for a later Drain; false when it could not be asked (no window to post to).
    using DrainRequest = std::function<bool()>;

    explicit NotificationQueue(DrainRequest requestDrain);
    ~NotificationQueue();
    NotificationQueue(const NotificationQueue&) = delete;
    NotificationQueue& operator=(const NotificationQueue&) = delete;

    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);

    // Tells the sender's listeners, then every notifier, now.
    void Deliver(NotifyRecord& notification);
    // A copy waits for the next drain.
    void Enqueue(const NotifyRecord& notification);
    // Takes ownership; the control is deleted by the next drain.
    void AddDelayedCleanup(std::unique_ptr<CControlUI> control);
    // Queued notifications of a control that is going away lose their sender.
    void ForgetSender(const CControlUI* control);

    // Deletes the removed controls, then delivers the queued notifications in order, including
    // ones that handlers queue meanwhile.
    void Drain();
    // Deletes the removed controls only (the window is going away).
    void DeleteRemovedControls();

private:
    void RequestDrain();

    DrainRequest m_requestDrain;
    bool m_drainRequested = false;
    std::vector<INotifyUI*> m_notifiers;  // not owned
    std::deque<NotifyRecord> m_queued;
    std::vector<std::unique_ptr<CControlUI>> m_removedControls;
};

}  // namespace tessel
