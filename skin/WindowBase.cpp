#include "skin/WindowBase.h"

#include <objidl.h>
#include <gdiplus.h>
#include <windowsx.h>

#include <memory>

#include "skin/WindowDefaults.h"
#include "ui/ControlUI.h"

namespace tessel {
namespace {

constexpr wchar_t kBrowserHostClass[] = L"WebService";
constexpr wchar_t kBrowserViewClass[] = L"Internet Explorer_Server";
// The browser view takes a click at this point as "focus, but do not act".
constexpr LPARAM kBrowserFocusPoint = 0xFFFF;
constexpr int kClassNameCapacity = 256;

bool HasClassName(HWND window, const wchar_t* name) {
    wchar_t className[kClassNameCapacity] = {};
    ::GetClassNameW(window, className, kClassNameCapacity);
    return wcscmp(className, name) == 0;
}

}  // namespace

const NotifyMap& CWindowBase::ClassNotifyMap() {
    static const NotifyMapEntry entries[] = {
        NotifyOn<CWindowBase>(L"click", L"", &CWindowBase::OnClick),
    };
    static const NotifyMap map{&WindowImplBase::ClassNotifyMap(), entries};
    return map;
}

HWND CWindowBase::CreateWindowAt(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle,
                                 int x, int y, int cx, int cy, HMENU menu) {
    return Create(parent, title, style, exStyle, x, y, cx, cy, menu);
}

HWND CWindowBase::CreateWindowInRect(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle,
                                     const RECT& rect, HMENU menu) {
    return CreateWindowAt(parent, title, style, exStyle, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, menu);
}

void CWindowBase::OnWindowDestroyed(HWND window) {
    WindowImplBase::OnWindowDestroyed(window);
    delete this;
}

void CWindowBase::SetIconFromResource(UINT id) {
    SetIcon(id);
}

void CWindowBase::SetIconFromFile(const std::wstring& path, bool big) {
    // GDI+ is up once any paint manager exists; this window's own started it.
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(path.c_str()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
        return;
    }
    HICON handle = nullptr;
    if (bitmap->GetHICON(&handle) != Gdiplus::Ok || handle == nullptr) {
        return;
    }
    UniqueIcon icon(handle);
    const WPARAM kind = big ? ICON_BIG : ICON_SMALL;
    SendMessage(WM_SETICON, kind, reinterpret_cast<LPARAM>(icon.Get()));
    // The previous icon of that kind goes only now that the window no longer shows it.
    m_fileIcons[big ? 1 : 0] = std::move(icon);
}

void CWindowBase::InitResources() {
    ApplyWindowDefaults(m_pm);
}

LRESULT CWindowBase::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    SetIconFromResource(1);
    return WindowImplBase::OnCreate(message, wParam, lParam, handled);
}

void CWindowBase::OnClick(NotifyRecord& notification) {
    const std::wstring name = SenderName(notification);
    if (name == L"btnSysClose") {
        Close(0);
    } else if (name == L"btnSysMin") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"btnSysMax") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"btnSysRestore") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (name == L"btnSysCancel") {
        Close(IDCANCEL);
    } else if (name == L"btnSysOK") {
        Close(IDOK);
    } else if (name == L"btnSysHide") {
        ShowWindow(false, false);
        // Centred now, so it is centred when it is shown again.
        CenterWindow();
    }
}

LRESULT CWindowBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        Close(IDOK);
        return 0;
    }
    return RunSystemCommand(message, wParam, lParam, L"btnSysMax", L"btnSysRestore");
}

LRESULT CWindowBase::OnMouseWheel(UINT, WPARAM, LPARAM lParam, bool& handled) {
    handled = false;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_pm.GetPaintWindow(), &point);
    HWND child = ::ChildWindowFromPointEx(m_pm.GetPaintWindow(), point, CWP_SKIPINVISIBLE);
    if (child == nullptr || child == m_pm.GetPaintWindow() ||
        !HasClassName(child, kBrowserHostClass)) {
        return 0;
    }
    // An embedded browser scrolls only once its view has the focus.
    for (HWND view = ::GetWindow(child, GW_CHILD); view != nullptr;
         view = ::GetWindow(view, GW_CHILD)) {
        if (HasClassName(view, kBrowserViewClass)) {
            ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, kBrowserFocusPoint);
            break;
        }
    }
    return 0;
}

}  // namespace tessel
