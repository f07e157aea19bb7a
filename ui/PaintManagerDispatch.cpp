// Window messages of a paint manager: filters, mouse and keyboard routing, tooltips, reflection
// to native children, and the pre-translation used by the message loops.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

#include "ui/ContainerUI.h"
#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

// Common-control notifications and commands come back to the child that sent them under this
// offset, so a control's native window handles its own.
constexpr UINT kReflectOffset = 0x2000;

uint16_t AltBit() {
    return ::GetKeyState(VK_MENU) < 0 ? KEYSTATE_ALT : 0;
}

// Key state of the keyboard right now (key events).
uint16_t KeyStateNow() {
    uint16_t state = AltBit();
    if (::GetKeyState(VK_LBUTTON) < 0) {
        state |= KEYSTATE_LBUTTON;
    }
    if (::GetKeyState(VK_RBUTTON) < 0) {
        state |= KEYSTATE_RBUTTON;
    }
    if (::GetKeyState(VK_SHIFT) < 0) {
        state |= KEYSTATE_SHIFT;
    }
    if (::GetKeyState(VK_CONTROL) < 0) {
        state |= KEYSTATE_CONTROL;
    }
    return state;
}

// Key state carried by a mouse message: its MK_ bits share the event's bit positions; the middle
// button (bit 4) is left out.
uint16_t KeyStateOfMouse(WPARAM wParam) {
    const auto bits =
        static_cast<uint16_t>(LOWORD(wParam) & (MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL));
    return static_cast<uint16_t>(bits | AltBit());
}

UiPoint PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

bool IsButtonMessage(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

CControlUI* ReturnControl(CControlUI* control, void*) {
    return control;
}

}  // namespace

// ---- filters and lists --------------------------------------------------------------------

namespace {
template <typename T>
void AddOnce(std::vector<T*>& list, T* item) {
    if (item != nullptr && std::find(list.begin(), list.end(), item) == list.end()) {
        list.push_back(item);
    }
}
}  // namespace

void CPaintManagerUI::AddEarlyMessageFilter(IMessageFilterUI* filter) {
    AddOnce(m_earlyFilters, filter);
}
void CPaintManagerUI::RemoveEarlyMessageFilter(IMessageFilterUI* filter) {
    std::erase(m_earlyFilters, filter);
}
void CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
    AddOnce(m_messageFilters, filter);
}
void CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
    std::erase(m_messageFilters, filter);
}
void CPaintManagerUI::AddAcceleratorTranslator(ITranslateAccelerator* translator) {
    AddOnce(m_translators, translator);
}
void CPaintManagerUI::RemoveAcceleratorTranslator(ITranslateAccelerator* translator) {
    std::erase(m_translators, translator);
}
void CPaintManagerUI::AddMouseLeaveNeeded(CControlUI* control) {
    AddOnce(m_mouseLeaveNeeded, control);
}
void CPaintManagerUI::RemoveMouseLeaveNeeded(CControlUI* control) {
    std::erase(m_mouseLeaveNeeded, control);
}
void CPaintManagerUI::AddPostPaint(CControlUI* control) {
    AddOnce(m_postPaint, control);
}
void CPaintManagerUI::RemovePostPaint(CControlUI* control) {
    std::erase(m_postPaint, control);
}
void CPaintManagerUI::AddNativeWindow(CControlUI* control, HWND window) {
    if (control == nullptr || window == nullptr) {
        return;
    }
    RemoveNativeWindow(window);
    m_nativeWindows.push_back({control, window});
}
void CPaintManagerUI::RemoveNativeWindow(HWND window) {
    std::erase_if(m_nativeWindows, [&](const NativeWindow& n) { return n.window == window; });
}

void CPaintManagerUI::SetCapture() {
    ::SetCapture(m_window);
    m_captured = true;
}

void CPaintManagerUI::ReleaseCapture() {
    if (m_captured) {
        ::ReleaseCapture();
    }
    m_captured = false;
}

// ---- tree lookups -------------------------------------------------------------------------

CControlUI* CPaintManagerUI::FindControl(UiPoint point) const {
    if (!m_root) {
        return nullptr;
    }
    return m_root->FindControl(&ReturnControl, &point,
                               UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::OwnControlAt(UiPoint point) const {
    CControlUI* control = FindControl(point);
    return (control != nullptr && control->GetManager() == this) ? control : nullptr;
}

void CPaintManagerUI::ForgetRoot() {
    if (m_root) {
        ForgetControl(m_root.get());
    }
    // The window is gone: clients holding its accessibility object are told so from now on.
    m_accessibility.Disconnect();
}

void CPaintManagerUI::SendEvent(CControlUI* control, int kind, WPARAM wParam, LPARAM lParam,
                                wchar_t key, uint16_t keyState) {
    if (control == nullptr || control->GetManager() != this) {
        return;
    }
    EventRecord event;
    event.kind = kind;
    event.sender = control;
    event.timestamp = ::GetTickCount();
    event.mouse = m_lastMouse;
    event.key = key;
    event.keyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    control->Event(event);
}

// ---- HandleWindowMessage ------------------------------------------------------------------

namespace {

// Offers a message to `filters` in order; the first that handles it ends it with its answer.
bool OfferToFilters(const std::vector<IMessageFilterUI*>& filters, UINT message, WPARAM wParam,
                    LPARAM lParam, LRESULT& result) {
    // A filter may remove itself (or another) while it looks at the message.
    const std::vector<IMessageFilterUI*> copy = filters;
    for (IMessageFilterUI* filter : copy) {
        bool handled = false;
        const LRESULT answer = filter->HandleWindowMessage(message, wParam, lParam, handled);
        if (handled) {
            result = answer;
            return true;
        }
    }
    return false;
}

}  // namespace

bool CPaintManagerUI::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) {
    if (m_window == nullptr) {
        return false;
    }
    TrackMousePosition(message, lParam);
    if (OfferToFilters(m_messageFilters, message, wParam, lParam, result)) {
        return true;
    }
    if (m_layered && HandleLayeredFrameMessage(message, wParam, result)) {
        return true;
    }
    if (m_accessibility.HandleDefaultActionMessage(message, wParam)) {
        result = 0;
        return true;
    }
    switch (message) {
        case kDrainMessage:
            DrainNotificationQueue();
            return false;
        case WM_GETOBJECT:
            return m_accessibility.HandleGetObject(wParam, lParam, result);
        case WM_CHANGEUISTATE:
        case WM_UPDATEUISTATE:
            // The default procedure still passes them on to the top-level window and the children.
            m_focusIndication.OnUiStateMessage(message, wParam);
            return false;
        case WM_CLOSE:
            OnClose();
            return false;
        case WM_ERASEBKGND:
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return HandlePaintMessage(message, wParam, lParam, result);
        case WM_SIZE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_TIMER:
        case WM_GETMINMAXINFO:
        case WM_DPICHANGED:
            return HandleWindowStateMessage(message, wParam, lParam, result);
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            HandleKeyMessage(message, wParam, lParam);
            return false;
        case WM_SETCURSOR:
            return HandleSetCursor(wParam, lParam, result);
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_NOTIFY:
            return ReflectToNativeChild(message, wParam, lParam, result);
        default:
            return HandleMouseMessage(message, wParam, lParam, result);
    }
}

void CPaintManagerUI::TrackMousePosition(UINT message, LPARAM lParam) {
    if (message == WM_MOUSEMOVE || IsButtonMessage(message)) {
        m_lastMouse = PointOf(lParam);
    } else if (message == WM_MOUSEWHEEL || message == WM_CONTEXTMENU) {
        // These two carry screen coordinates.
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_window, &p);
        m_lastMouse = {p.x, p.y};
    }
}

// A layered window has no frame of its own to draw or activate: the frame is in its pixels.
bool CPaintManagerUI::HandleLayeredFrameMessage(UINT message, WPARAM wParam, LRESULT& result) {
    switch (message) {
        case WM_NCCALCSIZE:
        case WM_NCPAINT:
            result = 0;
            return true;
        case WM_NCACTIVATE:
            if (::IsIconic(m_window)) {
                return false;
            }
            result = wParam == 0 ? TRUE : FALSE;
            return true;
        default:
            return false;
    }
}

bool CPaintManagerUI::HandlePaintMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND:
            // The paint cycle covers every pixel from its offscreen surface.
            result = 1;
            return true;
        case WM_PAINT:
            OnPaint();
            result = 0;
            return true;
        case WM_PRINTCLIENT:
            PrintClient(reinterpret_cast<HDC>(wParam), lParam);
            return false;
        default:
            return false;
    }
}

bool CPaintManagerUI::HandleWindowStateMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                               LRESULT& result) {
    switch (message) {
        case WM_SIZE:
            SendEvent(GetFocus(), EVT_WINDOWSIZE, wParam, lParam);
            if (m_root) {
                m_root->RequestLayout();
            }
            result = 0;
            return true;
        case WM_SETFOCUS:
            SendEvent(GetFocus(), EVT_SETFOCUS, wParam, lParam);
            // The system told clients that the window has the focus; the control inside has it.
            if (CControlUI* focus = GetFocus()) {
                m_accessibility.Raise(AccessibleEvent::Focus, focus);
            }
            return false;
        case WM_KILLFOCUS:
            if (m_captured) {
                ReleaseCapture();
            }
            return false;
        case WM_TIMER:
            OnTimer(wParam);
            return false;
        case WM_GETMINMAXINFO:
            ApplyTrackSizeLimits(*reinterpret_cast<MINMAXINFO*>(lParam));
            return false;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            result = 0;
            return true;
        default:
            return false;
    }
}

// The window is now on a monitor of another DPI (or that monitor's scale was changed): the tree
// follows the new scale, and the window takes the place Windows proposes, which keeps it under the
// pointer while it is dragged across.
void CPaintManagerUI::OnDpiChanged(unsigned dpi, const RECT* suggested) {
    SetDisplayScale(DisplayScale::PercentForDpi(dpi));
    if (suggested != nullptr) {
        ::SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The markup's "mininfo" and "maxinfo" (unscaled; 0 leaves the system's limit).
void CPaintManagerUI::ApplyTrackSizeLimits(MINMAXINFO& info) const {
    const UiSize minSize = m_windowAttributes.minInfo;
    const UiSize maxSize = m_windowAttributes.maxInfo;
    const auto apply = [this](LONG& limit, int value) {
        if (value > 0) {
            limit = Scale(value);
        }
    };
    apply(info.ptMinTrackSize.x, minSize.cx);
    apply(info.ptMinTrackSize.y, minSize.cy);
    apply(info.ptMaxTrackSize.x, maxSize.cx);
    apply(info.ptMaxTrackSize.y, maxSize.cy);
}

// Keys go to the focused control; a key's release goes where its press went, even when the
// focus moved in between.
void CPaintManagerUI::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto key = static_cast<wchar_t>(wParam);
    switch (message) {
        case WM_KEYDOWN:
            if (CControlUI* target = GetFocus()) {
                m_keyTarget = target;
                SendEvent(target, EVT_KEYDOWN, wParam, lParam, key, KeyStateNow());
            }
            return;
        case WM_KEYUP:
            if (CControlUI* target = std::exchange(m_keyTarget, nullptr)) {
                SendEvent(target, EVT_KEYUP, wParam, lParam, key, KeyStateNow());
            }
            return;
        case WM_CHAR:
            if (CControlUI* target = GetFocus()) {
                SendEvent(target, EVT_CHAR, wParam, lParam, key, KeyStateNow());
            }
            return;
        default:
            return;
    }
}

bool CPaintManagerUI::HandleSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (LOWORD(lParam) != HTCLIENT) {
        return false;
    }
    if (m_captured) {
        result = TRUE;
        return true;
    }
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(m_window, &p);
    CControlUI* control = OwnControlAt({p.x, p.y});
    if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) {
        return false;
    }
    SendEvent(control, EVT_SETCURSOR, wParam, lParam, 0, KeyStateNow());
    result = TRUE;
    return true;
}

// Commands, colour requests and notifications of native children go back to the child that sent
// them, under kReflectOffset, so a control's native window handles its own.
bool CPaintManagerUI::ReflectToNativeChild(UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header == nullptr || header->hwndFrom == nullptr) {
            return false;
        }
        result = ::SendMessageW(header->hwndFrom, message + kReflectOffset, wParam, lParam);
        return true;
    }
    if (lParam == 0) {
        return false;
    }
    const LRESULT answer =
        ::SendMessageW(reinterpret_cast<HWND>(lParam), message + kReflectOffset, wParam, lParam);
    if (answer == 0) {
        return false;
    }
    result = answer;
    return true;
}

void CPaintManagerUI::OnClose() {
    const uint16_t keyState = KeyStateNow();
    if (CControlUI* hover = std::exchange(m_hover, nullptr)) {
        SendEvent(hover, EVT_MOUSELEAVE, 0, 0, 0, keyState);
    }
    if (CControlUI* click = std::exchange(m_click, nullptr)) {
        ReleaseCapture();
        SendEvent(click, EVT_BUTTONUP, 0, 0, 0, keyState);
    }
    SetFocus(nullptr);
    if (::GetActiveWindow() == m_window) {
        if (HWND owner = ::GetWindow(m_window, GW_OWNER)) {
            ::SetFocus(owner);
        }
    }
    m_toolTip.Reset();
    m_toolAdded = false;
}

// ---- mouse --------------------------------------------------------------------------------

bool CPaintManagerUI::HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(m_lastMouse, wParam, lParam);
            return false;
        case WM_MOUSEHOVER:
            OnMouseHover(PointOf(lParam), wParam, lParam);
            result = 0;
            return true;
        case WM_MOUSELEAVE:
            OnMouseLeaveMessage();
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(message, wParam, lParam);
            return false;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnButtonUp(message, wParam, lParam);
            return false;
        case WM_CONTEXTMENU:
            OnContextMenu(wParam, lParam);
            return false;
        case WM_MOUSEWHEEL:
            if (!m_root) {
                return false;
            }
            OnMouseWheel(wParam, lParam);
            result = 0;
            return true;
        default:
            return false;
    }
}

void CPaintManagerUI::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_windowAttributes.noActivate || message == WM_LBUTTONDBLCLK) {
        ::SetFocus(m_window);
    }
    CControlUI* control = OwnControlAt(m_lastMouse);
    if (control == nullptr) {
        return;
    }
    SetCapture();
    m_click = control;
    int kind = EVT_DBLCLICK;
    if (message != WM_LBUTTONDBLCLK) {
        kind = message == WM_LBUTTONDOWN   ? EVT_BUTTONDOWN
               : message == WM_RBUTTONDOWN ? EVT_RBUTTONDOWN
                                           : EVT_MBUTTONDOWN;
        SetFocus(control);
        // Focus events may have removed the control from the tree.
        if (m_click != control) {
            return;
        }
    }
    SendEvent(control, kind, wParam, lParam, 0, KeyStateOfMouse(wParam));
}

void CPaintManagerUI::OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONUP) {
        if (m_click == nullptr) {
            return;
        }
        // Cleared before the event: the "click" it may cause can end this window.
        CControlUI* click = std::exchange(m_click, nullptr);
        ReleaseCapture();
        SendEvent(click, EVT_BUTTONUP, wParam, lParam, 0, KeyStateOfMouse(wParam));
        return;
    }
    CControlUI* control = OwnControlAt(m_lastMouse);
    // The right-clicked control stays the click target for the WM_CONTEXTMENU that the default
    // procedure sends next; the middle button has no such follower.
    m_click = message == WM_RBUTTONUP ? control : nullptr;
    ReleaseCapture();
    if (control != nullptr) {
        SendEvent(control, message == WM_RBUTTONUP ? EVT_RBUTTONUP : EVT_MBUTTONUP, wParam, lParam,
                  0, KeyStateOfMouse(wParam));
    }
}

void CPaintManagerUI::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    if (!m_root || m_click == nullptr) {
        return;
    }
    CControlUI* click = std::exchange(m_click, nullptr);
    ReleaseCapture();
    SendEvent(click, EVT_CONTEXTMENU, wParam, lParam, 0, KeyStateNow());
}

void CPaintManagerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const UiPoint point = m_lastMouse;
    const HWND window = m_window;
    if (CControlUI* control = OwnControlAt(point)) {
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        SendEvent(control, EVT_SCROLLWHEEL, delta < 0 ? SB_LINEDOWN : SB_LINEUP, lParam, 0,
                  KeyStateOfMouse(wParam));
    }
    // Content may have scrolled under the mouse: refresh the hover.
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

void CPaintManagerUI::OnMouseMove(UiPoint point, WPARAM wParam, LPARAM lParam) {
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_window;
        track.dwHoverTime = m_toolTip ? static_cast<DWORD>(::SendMessageW(
                                            m_toolTip.Get(), TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                      : static_cast<DWORD>(m_windowAttributes.hoverTime);
        ::TrackMouseEvent(&track);
        m_mouseTracking = true;
    }
    const uint16_t keyState = KeyStateOfMouse(wParam);
    CControlUI* control = OwnControlAt(point);
    if (!m_captured && control != m_hover) {
        if (CControlUI* old = std::exchange(m_hover, nullptr)) {
            SendEvent(old, EVT_MOUSELEAVE, wParam, lParam, 0, keyState);
        }
        const std::vector<CControlUI*> leaveNeeded = m_mouseLeaveNeeded;
        for (CControlUI* c : leaveNeeded) {
            SendEvent(c, EVT_MOUSELEAVE, wParam, lParam, 0, keyState);
        }
        HideToolTip();
        // Leave handlers may have changed the tree: look again.
        control = OwnControlAt(point);
        if (control != nullptr) {
            m_hover = control;
            SendEvent(control, EVT_MOUSEENTER, wParam, lParam, 0, keyState);
        }
    }
    CControlUI* target = m_click != nullptr ? m_click : control;
    SendEvent(target, EVT_MOUSEMOVE, wParam, lParam, 0, keyState);
}

void CPaintManagerUI::OnMouseHover(UiPoint point, WPARAM wParam, LPARAM lParam) {
    m_mouseTracking = false;
    if (m_hover == nullptr) {
        return;
    }
    SendEvent(m_hover, EVT_MOUSEHOVER, wParam, lParam, 0, KeyStateOfMouse(wParam));
    CControlUI* control = OwnControlAt(point);
    if (control != nullptr && !control->GetToolTip().empty()) {
        ShowToolTip(control);
    }
}

void CPaintManagerUI::OnMouseLeaveMessage() {
    HideToolTip();
    // After a hover the leave tracking stays armed while the flag says otherwise; a hovered
    // control still has to hear that the mouse has gone.
    if (m_mouseTracking || m_hover != nullptr) {
        POINT p{};
        ::GetCursorPos(&p);
        ::ScreenToClient(m_window, &p);
        RECT client{};
        ::GetClientRect(m_window, &client);
        const bool inside = ::GetActiveWindow() == m_window && !::IsIconic(m_window) &&
                            ::PtInRect(&client, p) != FALSE;
        const LPARAM position = inside ? MAKELPARAM(p.x, p.y) : MAKELPARAM(-1, -1);
        ::SendMessageW(m_window, WM_MOUSEMOVE, 0, position);
    }
    m_mouseTracking = false;
}

void CPaintManagerUI::ShowToolTip(CControlUI* control) {
    if (!m_toolTip) {
        if (!StartCommonControls()) {
            return;
        }
        m_toolTip.Reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window,
                                          nullptr, GetResourceInstance(), nullptr));
        m_toolAdded = false;
        if (!m_toolTip) {
            return;
        }
    }
    std::wstring text = control->GetToolTip();
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(m_window);
    tool.hinst = GetResourceInstance();
    tool.lpszText = text.data();
    tool.rect = ToRECT(control->GetPos());
    ::SendMessageW(m_toolTip.Get(), m_toolAdded ? TTM_SETTOOLINFOW : TTM_ADDTOOLW, 0,
                   reinterpret_cast<LPARAM>(&tool));
    m_toolAdded = true;
    ::SendMessageW(m_toolTip.Get(), TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    POINT cursor{};
    ::GetCursorPos(&cursor);
    constexpr int kBelowCursor = 20;  // clear of the arrow cursor
    ::SendMessageW(m_toolTip.Get(), TTM_TRACKPOSITION, 0,
                   MAKELPARAM(cursor.x, cursor.y + kBelowCursor));
    ::SendMessageW(m_toolTip.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void CPaintManagerUI::HideToolTip() {
    if (!m_toolTip || !m_toolAdded) {
        return;
    }
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(m_window);
    ::SendMessageW(m_toolTip.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

// ---- pre-translation ----------------------------------------------------------------------

bool CPaintManagerUI::PreHandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result) {
    if (OfferToFilters(m_earlyFilters, message, wParam, lParam, result)) {
        return true;
    }
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_TAB) {
                // No control of this framework keeps Tab for itself (rich edit and web views
                // are not part of it), so Tab always moves the focus.
                MoveFocusByKeyboard(::GetKeyState(VK_SHIFT) >= 0 ? TabDirection::Forward
                                                                 : TabDirection::Backward);
                return true;
            }
            break;
        case WM_SYSKEYDOWN:
            if (CControlUI* focus = GetFocus()) {
                SendEvent(focus, EVT_SYSKEY, wParam, lParam, static_cast<wchar_t>(wParam),
                          KeyStateNow());
            }
            break;
        case WM_SYSCHAR: {
            if (!m_root) {
                break;
            }
            // CharUpperW converts a single character passed in the pointer's low word.
            wchar_t wanted = static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(::CharUpperW(
                reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<wchar_t>(wParam))))));
            CControlUI* found = m_root->FindControl(
                [](CControlUI* c, void* data) -> CControlUI* {
                    return c->GetShortcut() != 0 && c->GetShortcut() == *static_cast<wchar_t*>(data)
                               ? c
                               : nullptr;
                },
                &wanted, UIFIND_ENABLED | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
            if (found != nullptr) {
                found->SetFocus();
                found->Activate();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return false;
}

bool CPaintManagerUI::TranslateAccelerator(MSG& message) {
    const std::vector<ITranslateAccelerator*> translators = m_translators;
    for (ITranslateAccelerator* translator : translators) {
        if (translator->TranslateAccelerator(message)) {
            return true;
        }
    }
    return false;
}

bool CPaintManagerUI::TranslateMessage(MSG& message) {
    if (message.hwnd == nullptr) {
        return false;
    }
    const auto isAlive = [](CPaintManagerUI* manager) {
        const auto& managers = Managers();
        return std::find(managers.begin(), managers.end(), manager) != managers.end();
    };
    const LONG_PTR style = ::GetWindowLongPtrW(message.hwnd, GWL_STYLE);
    LRESULT ignored = 0;
    if ((style & WS_CHILD) != 0) {
        // A handler may end a window and its manager: walk a copy, skip the departed.
        const std::vector<CPaintManagerUI*> managers = Managers();
        for (CPaintManagerUI* manager : managers) {
            for (HWND w = message.hwnd; w != nullptr; w = ::GetParent(w)) {
                if (!isAlive(manager) || w != manager->m_window) {
                    continue;
                }
                if (manager->TranslateAccelerator(message)) {
                    return true;
                }
                if (isAlive(manager)) {
                    manager->PreHandleWindowMessage(message.message, message.wParam, message.lParam,
                                                    ignored);
                }
                break;
            }
        }
        return false;
    }
    for (CPaintManagerUI* manager : Managers()) {
        if (manager->m_window != message.hwnd) {
            continue;
        }
        if (manager->TranslateAccelerator(message)) {
            return true;
        }
        return manager->PreHandleWindowMessage(message.message, message.wParam, message.lParam,
                                               ignored);
    }
    return false;
}

void CPaintManagerUI::MessageLoop() {
    MSG message{};
    // GetMessageW answers -1 on failure: that ends the loop as WM_QUIT does.
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!TranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

}  // namespace tessel
