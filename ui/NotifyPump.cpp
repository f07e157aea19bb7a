#include "ui/NotifyPump.h"

#include "ui/ControlUI.h"

namespace tessel {

bool CNotifyPump::AddVirtualWindow(std::wstring_view name, CNotifyPump* pump) {
    if (pump == nullptr || pump == this) {
        return false;
    }
    return m_virtualWindows.try_emplace(std::wstring(name), pump).second;
}

bool CNotifyPump::RemoveVirtualWindow(std::wstring_view name) {
    auto it = m_virtualWindows.find(name);
    if (it == m_virtualWindows.end()) {
        return false;
    }
    m_virtualWindows.erase(it);
    return true;
}

bool CNotifyPump::DispatchNotification(NotifyRecord& notification) {
    if (!notification.virtualWindow.empty()) {
        auto it = m_virtualWindows.find(notification.virtualWindow);
        if (it != m_virtualWindows.end() && it->second->SearchNotifyMaps(notification)) {
            return true;
        }
    }
    return SearchNotifyMaps(notification);
}

bool CNotifyPump::SearchNotifyMaps(NotifyRecord& notification) {
    const std::wstring senderName = SenderName(notification);
    for (const NotifyMap* map = GetNotifyMap(); map != nullptr; map = map->base) {
        // An entry naming the sender wins wherever it stands; otherwise the last catch-all one.
        const NotifyMapEntry* chosen = nullptr;
        for (const NotifyMapEntry& entry : map->entries) {
            if (entry.notification != notification.type) {
                continue;
            }
            if (!entry.control.empty() && entry.control == senderName) {
                chosen = &entry;
                break;
            }
            if (entry.control.empty()) {
                chosen = &entry;
            }
        }
        if (chosen != nullptr) {
            return CallEntry(*chosen, notification);
        }
    }
    return false;
}

bool CNotifyPump::CallEntry(const NotifyMapEntry& entry, NotifyRecord& notification) {
    switch (entry.kind) {
        case NotifyHandlerKind::Params:
            if (entry.paramsHandler != nullptr) {
                (this->*entry.paramsHandler)(notification.wParam, notification.lParam);
                return true;
            }
            return false;
        case NotifyHandlerKind::Notification:
            if (entry.recordHandler != nullptr) {
                (this->*entry.recordHandler)(notification);
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace tessel
