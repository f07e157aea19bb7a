#pragma once

// Real skinned windows for the dispatch and window-host tests: a WindowImplBase built from markup
// text, a log of what its controls and its notifier saw, and input sent the way the system would
// deliver it (the real cursor is moved too, so the system's own mouse tracking agrees).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/WindowImplBase.h"

namespace tessel::testing_support {

inline std::wstring EventName(int kind) {
    switch (kind) {
        case EVT_KEYDOWN:
            return L"keydown";
        case EVT_KEYUP:
            return L"keyup";
        case EVT_CHAR:
            return L"char";
        case EVT_SYSKEY:
            return L"syskey";
        case EVT_MOUSEMOVE:
            return L"mousemove";
        case EVT_MOUSELEAVE:
            return L"mouseleave";
        case EVT_MOUSEENTER:
            return L"mouseenter";
        case EVT_MOUSEHOVER:
            return L"mousehover";
        case EVT_BUTTONDOWN:
            return L"buttondown";
        case EVT_BUTTONUP:
            return L"buttonup";
        case EVT_RBUTTONDOWN:
            return L"rbuttondown";
        case EVT_RBUTTONUP:
            return L"rbuttonup";
        case EVT_DBLCLICK:
            return L"dblclick";
        case EVT_CONTEXTMENU:
            return L"contextmenu";
        case EVT_SCROLLWHEEL:
            return L"scrollwheel";
        case EVT_KILLFOCUS:
            return L"killfocus";
        case EVT_SETFOCUS:
            return L"setfocus";
        case EVT_WINDOWSIZE:
            return L"windowsize";
        case EVT_SETCURSOR:
            return L"setcursor";
        case EVT_TIMER:
            return L"timer";
        default:
            return L"event" + std::to_wstring(kind);
    }
}

// Dispatches this thread's queued messages the way the framework's loops do.
inline void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!CPaintManagerUI::TranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

// How long a window test waits for a state before it fails: generous, since a machine busy with
// other work (a parallel build, the other architecture's tests) can delay a window by seconds.
inline constexpr DWORD kWaitDeadlineMs = 20'000;

// Dispatches this thread's messages until `done` answers true (true) or the deadline passes
// (false). Tests assert on the result and say which state they waited for.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitDeadlineMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() >= end) {
            return false;
        }
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// A skinned window built from markup text. Its log holds "name:event" lines for the controls
// given to Watch and "notify:type:name" lines for every notification, in arrival order.
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(std::wstring markup) : m_markup(std::move(markup)) {}
    ~TestWindow() override {
        if (::IsWindow(m_hWnd)) {
            ::DestroyWindow(m_hWnd);
        }
        // Custom controls write into `log`: the tree goes while the log is still here.
        m_pm.AttachRoot(nullptr);
        m_pm.DrainNotificationQueue();
    }

    // Creates, shows and paints the window at (x, y) on the screen.
    bool Open(int x = 100, int y = 100, int width = 400, int height = 300,
              DWORD exStyle = WS_EX_TOOLWINDOW, HWND owner = nullptr) {
        if (Create(owner, L"Tessel test window", WS_POPUP | WS_CLIPCHILDREN, exStyle, x, y, width,
                   height) == nullptr) {
            return false;
        }
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::SetForegroundWindow(m_hWnd);
        ::UpdateWindow(m_hWnd);
        // The first paint lays the tree out and then announces "windowinit".
        return PumpUntil([this] { return HasNotification(L"windowinit"); });
    }

    bool HasNotification(std::wstring_view type) const {
        for (const NotifyRecord& n : notifications) {
            if (n.type == type) {
                return true;
            }
        }
        return false;
    }

    CControlUI* Find(std::wstring_view name) { return m_pm.FindControl(name); }

    void Watch(std::wstring_view name) {
        CControlUI* control = Find(name);
        if (control == nullptr) {
            return;
        }
        control->AddEventListener([this, n = std::wstring(name)](EventRecord& event) {
            if (event.kind != EVT_SETCURSOR && (m_logMoves || event.kind != EVT_MOUSEMOVE)) {
                log.push_back(n + L":" + EventName(event.kind));
            }
            return true;
        });
    }
    void LogMoves(bool on) { m_logMoves = on; }

    void Notify(NotifyRecord& notification) override {
        const std::wstring sender =
            notification.sender != nullptr ? notification.sender->GetName() : L"";
        if (notification.type != L"windowsize") {
            log.push_back(L"notify:" + notification.type + L":" + sender);
        }
        notifications.push_back(notification);
        if (onNotify) {
            onNotify(notification);
        }
        WindowImplBase::Notify(notification);
    }

    // Client point to screen.
    POINT ToScreen(int x, int y) const {
        POINT p{x, y};
        ::ClientToScreen(m_hWnd, &p);
        return p;
    }
    void SendMouse(UINT message, int x, int y, WPARAM keys = 0) {
        const POINT screen = ToScreen(x, y);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(m_hWnd, message, keys, MAKELPARAM(x, y));
    }
    void Click(int x, int y) {
        SendMouse(WM_MOUSEMOVE, x, y);
        SendMouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        SendMouse(WM_LBUTTONUP, x, y);
    }
    // Posts a key press through the queue, so the framework's pre-translation sees it.
    void PostKey(WPARAM key) {
        ::PostMessageW(m_hWnd, WM_KEYDOWN, key, 1);
        ::PostMessageW(m_hWnd, WM_KEYUP, key, 0xC0000001);
        PumpMessages();
    }
    LRESULT HitTest(int x, int y) {
        const POINT screen = ToScreen(x, y);
        return ::SendMessageW(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    }

    std::vector<std::wstring> log;
    std::vector<NotifyRecord> notifications;
    std::function<CControlUI*(std::wstring_view)> customControls;
    std::function<void(NotifyRecord&)> onNotify;
    int destroyedCount = 0;

protected:
    const wchar_t* WindowClassName() const override { return L"TesselTestWindow"; }
    std::wstring SkinFileName() const override { return m_markup; }
    CControlUI* CreateCustomControl(std::wstring_view className) override {
        return customControls ? customControls(className) : nullptr;
    }
    void OnWindowDestroyed(HWND window) override {
        ++destroyedCount;
        WindowImplBase::OnWindowDestroyed(window);
    }

private:
    std::wstring m_markup;
    bool m_logMoves = false;
};

// Lines of `log` that start with `prefix`, in order.
inline std::vector<std::wstring> Filter(const std::vector<std::wstring>& log,
                                        std::wstring_view prefix) {
    std::vector<std::wstring> out;
    for (const auto& line : log) {
        if (line.starts_with(prefix)) {
            out.push_back(line);
        }
    }
    return out;
}

}  // namespace tessel::testing_support
