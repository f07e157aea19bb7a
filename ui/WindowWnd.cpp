#include "ui/WindowWnd.h"

#include "ui/GdiHandles.h"
#include "ui/PaintManagerUI.h"
#include "ui/WindowGeometry.h"

namespace tessel {
namespace {

// The property holding the object of a window whose class derives from a system class (whose
// own procedure may use the user data).
constexpr wchar_t kObjectProperty[] = L"WndX";
constexpr int kIconGranularity = 16;

int RoundUpToIconGranularity(int value) {
    return (value + kIconGranularity - 1) / kIconGranularity * kIconGranularity;
}

}  // namespace

// Where a window's object is kept: the user data of windows of our own classes, a property for
// windows whose system class may use the user data itself.
struct CWindowWnd::UserDataBinding {
    static void Bind(HWND window, CWindowWnd* self) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    static CWindowWnd* Find(HWND window) {
        return reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    static void Unbind(HWND window) { ::SetWindowLongPtrW(window, GWLP_USERDATA, 0); }
};

struct CWindowWnd::PropertyBinding {
    static void Bind(HWND window, CWindowWnd* self) { ::SetPropW(window, kObjectProperty, self); }
    static CWindowWnd* Find(HWND window) {
        return static_cast<CWindowWnd*>(::GetPropW(window, kObjectProperty));
    }
    static void Unbind(HWND window) { ::RemovePropW(window, kObjectProperty); }
};

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height, HMENU menu) {
    const bool registered =
        BaseClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) {
        return nullptr;
    }
    // The binding happens at WM_NCCREATE; the object may already be gone when this returns
    // (a window that failed its creation and deleted itself), so only the handle is returned.
    return ::CreateWindowExW(exStyle, WindowClassName(), name, style, x, y, width, height, parent,
                             menu, CPaintManagerUI::GetResourceInstance(), this);
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle,
                        const RECT& rect, HMENU menu) {
    return Create(parent, name, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, menu);
}

HWND CWindowWnd::Subclass(HWND window) {
    if (window == nullptr || m_hWnd != nullptr) {
        return nullptr;
    }
    m_hWnd = window;
    UserDataBinding::Bind(window, this);
    m_previousProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindowWnd::WindowProc)));
    if (m_previousProc == nullptr) {
        UserDataBinding::Unbind(window);
        m_previousProc = ::DefWindowProcW;
        m_hWnd = nullptr;
        return nullptr;
    }
    m_subclassed = true;
    return window;
}

void CWindowWnd::Unsubclass() {
    if (!m_subclassed || m_hWnd == nullptr) {
        return;
    }
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_previousProc = ::DefWindowProcW;
    m_subclassed = false;
}

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.style = WindowClassStyle();
    windowClass.lpfnWndProc = &CWindowWnd::WindowProc;
    windowClass.hInstance = CPaintManagerUI::GetResourceInstance();
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WindowClassName();
    if (::RegisterClassW(&windowClass) != 0) {
        return true;
    }
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
    // Done for every window (not just the first): each object needs the base procedure.
    HINSTANCE instance = CPaintManagerUI::GetResourceInstance();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!::GetClassInfoExW(nullptr, BaseClassName(), &windowClass) &&
        !::GetClassInfoExW(instance, BaseClassName(), &windowClass)) {
        return false;
    }
    m_previousProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = &CWindowWnd::ControlProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClassName();
    if (::RegisterClassExW(&windowClass) != 0) {
        return true;
    }
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

template <typename Binding>
LRESULT CWindowWnd::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        self->m_hWnd = window;
        Binding::Bind(window, self);
    } else {
        self = Binding::Find(window);
        if (message == WM_NCDESTROY && self != nullptr) {
            const LRESULT result =
                ::CallWindowProcW(self->m_previousProc, window, message, wParam, lParam);
            Binding::Unbind(window);
            self->Unsubclass();
            self->m_hWnd = nullptr;
            self->OnWindowDestroyed(window);  // may delete the object
            return result;
        }
    }
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    return Route<UserDataBinding>(window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    return Route<PropertyBinding>(window, message, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam);
}

void CWindowWnd::OnWindowDestroyed(HWND) {}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!::IsWindow(m_hWnd)) {
        return;
    }
    ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    // Locals only from here on: the window (and this object) may be gone before the loop ends.
    const HWND window = m_hWnd;
    const HWND owner = ::GetWindow(window, GW_OWNER);
    ::ShowWindow(window, SW_SHOWNORMAL);
    if (owner != nullptr) {
        ::EnableWindow(owner, FALSE);
    }
    UINT result = 0;
    bool quit = false;
    MSG message{};
    while (::IsWindow(window)) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = got == 0;
            break;
        }
        if (message.hwnd == window && message.message == WM_CLOSE) {
            result = static_cast<UINT>(message.wParam);
            // Before the window goes, so the owner is active again when it does.
            if (owner != nullptr) {
                ::EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (!CPaintManagerUI::TranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
    }
    return result;
}

void CWindowWnd::Close(UINT result) {
    if (::IsWindow(m_hWnd)) {
        ::PostMessageW(m_hWnd, WM_CLOSE, result, 0);
    }
}

void CWindowWnd::CenterWindow() {
    if (!::IsWindow(m_hWnd)) {
        return;
    }
    RECT windowRect{};
    ::GetWindowRect(m_hWnd, &windowRect);
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(
        ::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT reference = monitor.rcWork;
    if (owner != nullptr) {
        ::GetWindowRect(owner, &reference);
    }
    const UiRect window = FromRECT(windowRect);
    const UiPoint topLeft = CenteredPosition({window.Width(), window.Height()}, FromRECT(reference),
                                             FromRECT(monitor.rcWork));
    ::SetWindowPos(m_hWnd, nullptr, topLeft.x, topLeft.y, -1, -1,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId) {
    const int width = RoundUpToIconGranularity(::GetSystemMetrics(SM_CXICON));
    const int height = RoundUpToIconGranularity(::GetSystemMetrics(SM_CYICON));
    HINSTANCE instance = CPaintManagerUI::GetResourceInstance();
    UniqueIcon big(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId),
                                                   IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
    UniqueIcon small(static_cast<HICON>(::LoadImageW(
        instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    // The previous icons go only now that the window no longer shows them.
    m_bigIcon = std::move(big);
    m_smallIcon = std::move(small);
}

void CWindowWnd::ResizeClient(int width, int height) {
    RECT rect{};
    if (!::GetClientRect(m_hWnd, &rect)) {
        return;
    }
    if (width != -1) {
        rect.right = width;
    }
    if (height != -1) {
        rect.bottom = height;
    }
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    const bool hasMenu = (style & WS_CHILD) == 0 && ::GetMenu(m_hWnd) != nullptr;
    ::AdjustWindowRectEx(&rect, style, hasMenu ? TRUE : FALSE, exStyle);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

}  // namespace tessel
