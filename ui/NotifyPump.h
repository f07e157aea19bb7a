#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "ui/UiEvents.h"

namespace tessel {

class CNotifyPump;

// How a message-map handler wants the notification. The numbers are part of the map format.
enum class NotifyHandlerKind : int {
    End = 0,
    Params = 1,        // handler(wParam, lParam)
    Notification = 2,  // handler(notification)
};

using NotifyParamsHandler = intptr_t (CNotifyPump::*)(uintptr_t wParam, intptr_t lParam);
using NotifyRecordHandler = void (CNotifyPump::*)(NotifyRecord& notification);

// One line of a window class's message map: which notification from which control (empty = any)
// goes to which handler method.
struct NotifyMapEntry {
    std::wstring_view notification;
    std::wstring_view control;
    NotifyHandlerKind kind = NotifyHandlerKind::End;
    NotifyParamsHandler paramsHandler = nullptr;
    NotifyRecordHandler recordHandler = nullptr;
};

// A class's message map and the map of the class it derives from (null at the top).
struct NotifyMap {
    const NotifyMap* base = nullptr;
    std::span<const NotifyMapEntry> entries;
};

// Map lines for handlers of a class derived from CNotifyPump.
template <typename Derived>
NotifyMapEntry NotifyOn(std::wstring_view notification, std::wstring_view control,
                        void (Derived::*handler)(NotifyRecord&)) {
    return {notification, control, NotifyHandlerKind::Notification, nullptr,
            static_cast<NotifyRecordHandler>(handler)};
}
template <typename Derived>
NotifyMapEntry NotifyOn(std::wstring_view notification, std::wstring_view control,
                        intptr_t (Derived::*handler)(uintptr_t, intptr_t)) {
    return {notification, control, NotifyHandlerKind::Params,
            static_cast<NotifyParamsHandler>(handler), nullptr};
}

// Dispatches notifications to handler methods through message maps. A window class publishes its
// map through GetNotifyMap; named virtual windows (other pumps, not owned) get first go at
// notifications whose sender belongs to their virtual window.
class CNotifyPump {
public:
    virtual ~CNotifyPump() = default;

    bool AddVirtualWindow(std::wstring_view name, CNotifyPump* pump);
    bool RemoveVirtualWindow(std::wstring_view name);
    bool DispatchNotification(NotifyRecord& notification);
    bool SearchNotifyMaps(NotifyRecord& notification);

protected:
    virtual const NotifyMap* GetNotifyMap() const { return nullptr; }

private:
    bool CallEntry(const NotifyMapEntry& entry, NotifyRecord& notification);

    std::map<std::wstring, CNotifyPump*, std::less<>> m_virtualWindows;  // not owned
};

}  // namespace tessel
