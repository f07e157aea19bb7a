#include "ui/WindowImplBase.h"

#include <windowsx.h>

#include <cwctype>

#include "ui/ControlUI.h"
#include "ui/WindowGeometry.h"

namespace tessel {
namespace {

constexpr int kSkinLoadFailureExitCode = 1;

std::wstring LowerCase(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return lower;
}

LRESULT NotHandled(bool& handled) {
    handled = false;
    return 0;
}

void SetVisibleIfFound(CPaintManagerUI& pm, std::wstring_view name, bool visible) {
    if (CControlUI* control = pm.FindControl(name)) {
        control->SetVisible(visible);
    }
}

}  // namespace

const NotifyMap& WindowImplBase::ClassNotifyMap() {
    static const NotifyMapEntry entries[] = {
        NotifyOn<WindowImplBase>(L"click", L"", &WindowImplBase::OnClick),
    };
    static const NotifyMap map{nullptr, entries};
    return map;
}

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = true;
    LRESULT result = 0;
    switch (message) {
        case WM_CREATE:
            result = OnCreate(message, wParam, lParam, handled);
            break;
        case WM_DESTROY:
            result = OnDestroy(message, wParam, lParam, handled);
            break;
        case WM_SIZE:
            result = OnSize(message, wParam, lParam, handled);
            break;
        case WM_SETFOCUS:
            result = OnSetFocus(message, wParam, lParam, handled);
            break;
        case WM_KILLFOCUS:
            result = OnKillFocus(message, wParam, lParam, handled);
            break;
        case WM_CLOSE:
            result = OnClose(message, wParam, lParam, handled);
            break;
        case WM_GETMINMAXINFO:
            result = OnGetMinMaxInfo(message, wParam, lParam, handled);
            break;
        case WM_NCCALCSIZE:
            result = OnNcCalcSize(message, wParam, lParam, handled);
            break;
        case WM_NCHITTEST:
            result = OnNcHitTest(message, wParam, lParam, handled);
            break;
        case WM_NCPAINT:
            result = OnNcPaint(message, wParam, lParam, handled);
            break;
        case WM_NCACTIVATE:
            result = OnNcActivate(message, wParam, lParam, handled);
            break;
        case WM_NCLBUTTONDBLCLK:
            // A double click on the caption never maximises.
            return 0;
        case WM_KEYDOWN:
            result = OnKeyDown(message, wParam, lParam, handled);
            break;
        case WM_CHAR:
            result = OnChar(message, wParam, lParam, handled);
            break;
        case WM_SYSCOMMAND:
            result = OnSysCommand(message, wParam, lParam, handled);
            break;
        case WM_MOUSEMOVE:
            result = OnMouseMove(message, wParam, lParam, handled);
            break;
        case WM_LBUTTONDOWN:
            result = OnLButtonDown(message, wParam, lParam, handled);
            break;
        case WM_LBUTTONUP:
            result = OnLButtonUp(message, wParam, lParam, handled);
            break;
        case WM_MOUSEWHEEL:
            result = OnMouseWheel(message, wParam, lParam, handled);
            break;
        case WM_MOUSEHOVER:
            result = OnMouseHover(message, wParam, lParam, handled);
            break;
        default:
            handled = false;
            break;
    }
    if (handled) {
        return result;
    }
    handled = true;
    result = OnOtherMessage(message, wParam, lParam, handled);
    if (handled) {
        return result;
    }
    if (m_pm.HandleWindowMessage(message, wParam, lParam, result)) {
        return result;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, WindowStyle() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_pm.Init(m_hWnd, PaintManagerName());
    // The window's own resources start afresh with Init; a window's defaults go in after it.
    InitResources();
    m_pm.AddEarlyMessageFilter(this);
    CMarkupBuilder builder;
    const std::wstring type = SkinResourceType();
    CControlUI* root = builder.Create(SkinFileName(), type, this, &m_pm);
    if (root == nullptr) {
        FailToLoadSkin();
    }
    m_pm.AttachRoot(root);
    m_pm.AddNotifier(this);
    OnWindowReady();
    return 0;
}

void WindowImplBase::FailToLoadSkin() {
    const std::wstring text = L"加载资源文件失败：" + SkinFileName();
    ::MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONSTOP);
    ::ExitProcess(kSkinLoadFailureExitCode);
}

LONG_PTR WindowImplBase::WindowStyle() const {
    return ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION);
}

void WindowImplBase::OnWindowDestroyed(HWND) {
    m_pm.RemoveEarlyMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.ForgetRoot();
}

void WindowImplBase::Notify(NotifyRecord& notification) {
    DispatchNotification(notification);
}

LRESULT WindowImplBase::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM, bool&) {
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        return OnDefaultKey(wParam);
    }
    return 0;
}

LRESULT WindowImplBase::OnDefaultKey(WPARAM key) {
    return key == VK_ESCAPE ? 1 : 0;
}

CControlUI* WindowImplBase::CreateCustomControl(std::wstring_view) {
    return nullptr;
}

bool WindowImplBase::QueryText(std::wstring_view, int, std::wstring&) {
    return false;
}

void WindowImplBase::OnClick(NotifyRecord& notification) {
    const std::wstring name = SenderName(notification);
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

bool WindowImplBase::IsCaptionControl(CControlUI* control) const {
    if (control == nullptr) {
        return false;
    }
    for (CControlUI* c = control; c != nullptr; c = c->GetParent()) {
        if (!IsCaptionClass(LowerCase(c->GetClass()))) {
            return false;
        }
    }
    return true;
}

// ---- handlers -----------------------------------------------------------------------------

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (::IsIconic(m_hWnd)) {
        handled = false;
    }
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    return 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled) {
    handled = true;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &p);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const WindowAttributes& attributes = m_pm.GetWindowAttributes();
    const DisplayScale& scale = m_pm.GetDisplayScale();
    UiRect caption = attributes.caption;
    const bool toBottom = caption.bottom == -1;
    caption = scale.Scale(caption);
    if (toBottom) {
        caption.bottom = -1;
    }
    const UiPoint point{p.x, p.y};
    switch (ClassifyFramePoint(point, FromRECT(client), scale.Scale(attributes.sizeBox), caption,
                               ::IsZoomed(m_hWnd) != FALSE)) {
        case FrameHit::TopLeft:
            return HTTOPLEFT;
        case FrameHit::TopRight:
            return HTTOPRIGHT;
        case FrameHit::Top:
            return HTTOP;
        case FrameHit::BottomLeft:
            return HTBOTTOMLEFT;
        case FrameHit::BottomRight:
            return HTBOTTOMRIGHT;
        case FrameHit::Bottom:
            return HTBOTTOM;
        case FrameHit::Left:
            return HTLEFT;
        case FrameHit::Right:
            return HTRIGHT;
        case FrameHit::Caption:
            return IsCaptionControl(m_pm.FindControl(point)) ? HTCAPTION : HTCLIENT;
        case FrameHit::Client:
            break;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
    handled = true;
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT work = monitor.rcWork;
    if ((monitor.dwFlags & MONITORINFOF_PRIMARY) == 0) {
        ::OffsetRect(&work, -work.left, -work.top);
    }
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    const WindowAttributes& attributes = m_pm.GetWindowAttributes();
    info->ptMaxPosition = {work.left, work.top};
    info->ptMaxSize = {workWidth, workHeight};
    info->ptMaxTrackSize.x =
        attributes.maxInfo.cx != 0 ? m_pm.Scale(attributes.maxInfo.cx) : workWidth;
    info->ptMaxTrackSize.y =
        attributes.maxInfo.cy != 0 ? m_pm.Scale(attributes.maxInfo.cy) : workHeight;
    info->ptMinTrackSize.x = m_pm.Scale(attributes.minInfo.cx);
    info->ptMinTrackSize.y = m_pm.Scale(attributes.minInfo.cy);
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
    if (!::IsIconic(m_hWnd)) {
        RECT window{};
        ::GetWindowRect(m_hWnd, &window);
        const UiSize corner = m_pm.GetWindowAttributes().roundCorner;
        UniqueRegion region(::CreateRoundRectRgn(0, 0, window.right - window.left + 1,
                                                 window.bottom - window.top + 1,
                                                 m_pm.Scale(corner.cx), m_pm.Scale(corner.cy)));
        // The window takes the region over only when the call succeeds.
        if (region && ::SetWindowRgn(m_hWnd, region.Get(), TRUE) != 0) {
            (void)region.Release();
        }
    }
    return NotHandled(handled);
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessage(WM_CLOSE);
        return 0;
    }
    return RunSystemCommand(message, wParam, lParam, L"maxbtn", L"restorebtn");
}

LRESULT WindowImplBase::RunSystemCommand(UINT message, WPARAM wParam, LPARAM lParam,
                                         std::wstring_view maximizeButton,
                                         std::wstring_view restoreButton) {
    const HWND window = m_hWnd;
    const bool wasZoomed = ::IsZoomed(window) != FALSE;
    const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
    if (::IsWindow(window) && wasZoomed != (::IsZoomed(window) != FALSE)) {
        const bool zoomed = ::IsZoomed(window) != FALSE;
        SetVisibleIfFound(m_pm, maximizeButton, !zoomed);
        SetVisibleIfFound(m_pm, restoreButton, zoomed);
    }
    return result;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}
LRESULT WindowImplBase::OnOtherMessage(UINT, WPARAM, LPARAM, bool& handled) {
    return NotHandled(handled);
}

}  // namespace tessel
