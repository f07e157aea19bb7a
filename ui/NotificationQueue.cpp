#include "ui/NotificationQueue.h"

#include <algorithm>

#include "ui/ControlUI.h"

namespace tessel {

NotificationQueue::NotificationQueue(DrainRequest requestDrain)
    : m_requestDrain(std::move(requestDrain)) {}

NotificationQueue::~NotificationQueue() = default;

void NotificationQueue::AddNotifier(INotifyUI* notifier) {
    if (std::find(m_notifiers.begin(), m_notifiers.end(), notifier) == m_notifiers.end()) {
        m_notifiers.push_back(notifier);
    }
}

void NotificationQueue::RemoveNotifier(INotifyUI* notifier) {
    std::erase(m_notifiers, notifier);
}

void NotificationQueue::Deliver(NotifyRecord& notification) {
    if (notification.sender != nullptr) {
        notification.sender->NotifyListeners(notification);
    }
    // A notifier may remove itself (or another) while being told.
    const std::vector<INotifyUI*> notifiers = m_notifiers;
    for (INotifyUI* notifier : notifiers) {
        notifier->Notify(notification);
    }
}

void NotificationQueue::Enqueue(const NotifyRecord& notification) {
    m_queued.push_back(notification);
    RequestDrain();
}

void NotificationQueue::AddDelayedCleanup(std::unique_ptr<CControlUI> control) {
    if (control == nullptr) {
        return;
    }
    m_removedControls.push_back(std::move(control));
    RequestDrain();
}

void NotificationQueue::ForgetSender(const CControlUI* control) {
    for (NotifyRecord& queued : m_queued) {
        if (queued.sender == control) {
            queued.sender = nullptr;
        }
    }
}

void NotificationQueue::Drain() {
    m_drainRequested = false;
    DeleteRemovedControls();
    while (!m_queued.empty()) {
        NotifyRecord notification = std::move(m_queued.front());
        m_queued.pop_front();
        Deliver(notification);
    }
}

void NotificationQueue::DeleteRemovedControls() {
    // Moved out first: a dying control's clean-up may hand this queue another one, which then
    // waits for the next drain instead of growing the list being destroyed.
    std::vector<std::unique_ptr<CControlUI>> dying = std::move(m_removedControls);
    m_removedControls.clear();
    dying.clear();
}

void NotificationQueue::RequestDrain() {
    if (!m_drainRequested && m_requestDrain) {
        m_drainRequested = m_requestDrain();
    }
}

}  // namespace tessel
