#pragma once

#include <cstdint>
#include <string>

#include "ui/Geometry.h"

namespace tessel {

class CControlUI;

// Event kinds a control receives, numbered from 1. The BEGIN/END kinds are range markers and are
// never sent; mouse events lie strictly between the two mouse markers.
enum EventKind : int {
    EVT_FIRST = 1,
    EVT_KEYBEGIN,
    EVT_KEYDOWN,
    EVT_KEYUP,
    EVT_CHAR,
    EVT_SYSKEY,
    EVT_KEYEND,
    EVT_MOUSEBEGIN,
    EVT_MOUSEMOVE,
    EVT_MOUSELEAVE,
    EVT_MOUSEENTER,
    EVT_MOUSEHOVER,
    EVT_BUTTONDOWN,
    EVT_BUTTONUP,
    EVT_RBUTTONDOWN,
    EVT_RBUTTONUP,
    EVT_MBUTTONDOWN,
    EVT_MBUTTONUP,
    EVT_DBLCLICK,
    EVT_CONTEXTMENU,
    EVT_SCROLLWHEEL,
    EVT_MOUSEEND,
    EVT_KILLFOCUS,
    EVT_SETFOCUS,
    EVT_WINDOWSIZE,
    EVT_SETCURSOR,
    EVT_TIMER,
};

inline bool IsMouseEvent(int kind) {
    return kind > EVT_MOUSEBEGIN && kind < EVT_MOUSEEND;
}

// Key-state bits of an event.
enum KeyStateBits : uint16_t {
    KEYSTATE_LBUTTON = 1,
    KEYSTATE_RBUTTON = 2,
    KEYSTATE_SHIFT = 4,
    KEYSTATE_CONTROL = 8,
    KEYSTATE_ALT = 32,
};

struct EventRecord {
    int kind = 0;
    CControlUI* sender = nullptr;
    uint32_t timestamp = 0;
    UiPoint mouse;  // client coordinates
    wchar_t key = 0;
    uint16_t keyState = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

struct NotifyRecord {
    std::wstring type;
    std::wstring virtualWindow;
    CControlUI* sender = nullptr;
    uint32_t timestamp = 0;
    UiPoint mouse;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// Receives the notifications of a paint manager (a window's message map sits behind this).
class INotifyUI {
public:
    virtual void Notify(NotifyRecord& notification) = 0;

protected:
    ~INotifyUI() = default;
};

}  // namespace tessel
