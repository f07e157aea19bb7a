#include "ui/PaintManagerUI.h"

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "base/SystemLibrary.h"
#include "ui/ControlUI.h"
#include "ui/DisplayDpi.h"
#include "ui/SurfaceDc.h"

namespace tessel {

namespace {

// GDI+ is started once per process, by the first paint manager, and stays up until the process
// ends: it is never shut down. Its documentation forbids GdiplusShutdown from a global destructor,
// the only place left once the last window is gone; there it waits for GDI+'s background thread
// and can hang the program's exit (seen under Wine as a test program that never ended after its
// last test). The system reclaims it with the process. The common controls are loaded when the
// first tooltip is shown (StartCommonControls).
void StartProcessOnce() {
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    (void)started;
}

using InitCommonControlsExProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

}  // namespace

CPaintManagerUI::CPaintManagerUI()
    : m_notifications([this] {
          return m_window != nullptr && ::PostMessageW(m_window, kDrainMessage, 0, 0) != FALSE;
      }) {
    StartProcessOnce();
}

CPaintManagerUI::~CPaintManagerUI() {
    std::erase(Managers(), this);
    RemoveAllTimers();
    // The tree goes first: its controls still reach back for names, focus and groups.
    m_root.reset();
    m_notifications.DeleteRemovedControls();
}

std::vector<CPaintManagerUI*>& CPaintManagerUI::Managers() {
    static std::vector<CPaintManagerUI*> managers;
    return managers;
}

bool CPaintManagerUI::StartCommonControls() {
    // Once per process; the library stays loaded with it (the application manifest's activation
    // context picks version 6).
    static const bool started = [] {
        HMODULE library = ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        const auto init =
            ProcedureAddress<InitCommonControlsExProc>(library, "InitCommonControlsEx");
        if (init == nullptr) {
            return false;
        }
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        return init(&controls) != FALSE;
    }();
    return started;
}

void CPaintManagerUI::Init(HWND window, const wchar_t* name) {
    m_namedControls.clear();
    m_resources.ClearOwn();
    m_optionGroups.clear();
    m_windowAttributes.custom.clear();
    RemoveAllTimers();
    m_name = name ? name : L"";
    if (window != m_window) {
        m_windowDc.Reset();
        m_window = window;
        auto& managers = Managers();
        std::erase(managers, this);
        if (window != nullptr) {
            m_windowDc.Reset(window);
            managers.push_back(this);
            // Before the markup is read: fonts and sizes are made at the monitor's scale.
            m_scale.SetPercent(WindowScalePercent(window));
        }
        m_focusIndication.Start(window);
    }
}

void CPaintManagerUI::SetDisplayScale(int percent) {
    percent = std::clamp(percent, DisplayScale::kMinimumPercent, DisplayScale::kMaximumPercent);
    if (percent == m_scale.Percent()) {
        return;
    }
    m_scale.SetPercent(percent);
    m_resources.OnDisplayScaleChanged(GetPaintDC());
    if (m_root) {
        m_root->OnDisplayScaleChanged();
    }
    HideToolTip();
    RequestLayout();
}

CPaintManagerUI* CPaintManagerUI::ManagerOf(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    for (CPaintManagerUI* manager : Managers()) {
        if (manager->m_window == window) {
            return manager;
        }
    }
    return nullptr;
}

HDC CPaintManagerUI::GetPaintDC() {
    if (m_windowDc.Get() != nullptr) {
        return m_windowDc.Get();
    }
    if (!m_measureDc) {
        m_measureDc.Reset(::CreateCompatibleDC(nullptr));
    }
    return m_measureDc.Get();
}

// ---- fonts --------------------------------------------------------------------------------

HFONT CPaintManagerUI::AddFont(int id, std::wstring_view face, int size, bool bold, bool underline,
                               bool italic, bool shared) {
    return m_resources.AddFont(id, {face, size, bold, underline, italic}, shared, GetPaintDC());
}

void CPaintManagerUI::SetDefaultFont(std::wstring_view face, int size, bool bold, bool underline,
                                     bool italic, bool shared) {
    m_resources.SetDefaultFont({face, size, bold, underline, italic}, shared, GetPaintDC());
}

// ---- the tree -----------------------------------------------------------------------------

void CPaintManagerUI::AttachRoot(CControlUI* root) {
    m_focus.Reset();
    m_hover = nullptr;
    m_click = nullptr;
    m_keyTarget = nullptr;
    if (m_root) {
        AddDelayedCleanup(m_root.release());
    }
    m_root.reset(root);
    m_updateNeeded = true;
    m_firstLayout = true;
    m_offscreen.reset();
    if (root != nullptr) {
        BindControlTree(root, nullptr);
    }
}

void CPaintManagerUI::BindControlTree(CControlUI* control, CControlUI* parent) {
    if (control == nullptr) {
        return;
    }
    control->SetManager(this, parent, true);
    control->FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
            static_cast<CPaintManagerUI*>(data)->RegisterControlName(c);
            return nullptr;
        },
        this, 0);
}

void CPaintManagerUI::RegisterControlName(CControlUI* control) {
    if (control != nullptr && !control->GetName().empty()) {
        m_namedControls[control->GetName()] = control;
    }
}

void CPaintManagerUI::ForgetControl(CControlUI* control) {
    m_focus.Forget(control);
    m_accessibility.Forget(control);
    // A dying control must not stay a target of later input, timers or painting.
    if (m_hover == control) {
        m_hover = nullptr;
    }
    if (m_click == control) {
        m_click = nullptr;
    }
    if (m_keyTarget == control) {
        m_keyTarget = nullptr;
    }
    m_timers.RemoveAllOf(control);
    std::erase(m_mouseLeaveNeeded, control);
    std::erase(m_postPaint, control);
    std::erase_if(m_nativeWindows, [&](const NativeWindow& n) { return n.control == control; });
    if (control != nullptr && !control->GetName().empty()) {
        auto it = m_namedControls.find(control->GetName());
        if (it != m_namedControls.end() && it->second == control) {
            m_namedControls.erase(it);
        }
    }
    for (auto& [group, members] : m_optionGroups) {
        std::erase(members, control);
    }
    m_notifications.ForgetSender(control);
}

CControlUI* CPaintManagerUI::FindControl(std::wstring_view name) const {
    auto it = m_namedControls.find(std::wstring(name));
    return it != m_namedControls.end() ? it->second : nullptr;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
    if (control == nullptr) {
        return;
    }
    ForgetControl(control);
    m_notifications.AddDelayedCleanup(std::unique_ptr<CControlUI>(control));
}

// ---- focus --------------------------------------------------------------------------------

void CPaintManagerUI::MoveFocusByKeyboard(TabDirection direction) {
    m_focusIndication.KeyboardUsed();
    m_focus.MoveToNext(direction);
}

void CPaintManagerUI::OnFocusMoved(CControlUI* now) {
    m_focusIndication.FocusMoved(now);
    // To no control: the window itself has the focus then, as clients are told.
    m_accessibility.Raise(AccessibleEvent::Focus, now);
}

// ---- option groups ------------------------------------------------------------------------

void CPaintManagerUI::AddOptionGroup(std::wstring_view group, CControlUI* control) {
    auto& members = m_optionGroups[std::wstring(group)];
    if (std::find(members.begin(), members.end(), control) == members.end()) {
        members.push_back(control);
    }
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(std::wstring_view group) const {
    auto it = m_optionGroups.find(std::wstring(group));
    return it != m_optionGroups.end() ? &it->second : nullptr;
}

void CPaintManagerUI::RemoveOptionGroup(std::wstring_view group, CControlUI* control) {
    auto it = m_optionGroups.find(std::wstring(group));
    if (it != m_optionGroups.end()) {
        std::erase(it->second, control);
        if (it->second.empty()) {
            m_optionGroups.erase(it);
        }
    }
}

// ---- updates ------------------------------------------------------------------------------

void CPaintManagerUI::Invalidate(const UiRect& rect) {
    if (m_window == nullptr || rect.IsEmpty()) {
        return;
    }
    if (m_layered) {
        // The system keeps no picture of a layered window: the next frame must repaint this.
        m_layeredUpdate = m_layeredUpdate.IsEmpty()
                              ? rect
                              : UiRect{std::min(m_layeredUpdate.left, rect.left),
                                       std::min(m_layeredUpdate.top, rect.top),
                                       std::max(m_layeredUpdate.right, rect.right),
                                       std::max(m_layeredUpdate.bottom, rect.bottom)};
    }
    const RECT r = ToRECT(rect);
    ::InvalidateRect(m_window, &r, FALSE);
}

void CPaintManagerUI::RequestLayout() {
    m_updateNeeded = true;
    if (m_root) {
        m_root->RequestLayout();
    }
    if (m_window != nullptr) {
        ::InvalidateRect(m_window, nullptr, FALSE);
    }
}

void CPaintManagerUI::SetLayeredInset(const UiRect& inset) {
    m_layeredInset = inset;
    RequestLayout();
}

// ---- timers -------------------------------------------------------------------------------

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse) {
    return control != nullptr && m_window != nullptr && m_timers.Set(control, timerId, elapse);
}

bool CPaintManagerUI::StartSystemTimer(unsigned systemId, unsigned elapseMs) {
    return ::SetTimer(m_window, systemId, elapseMs, nullptr) != 0;
}

void CPaintManagerUI::StopSystemTimer(unsigned systemId) {
    if (::IsWindow(m_window)) {
        ::KillTimer(m_window, systemId);
    }
}

void CPaintManagerUI::OnTimer(WPARAM systemId) {
    if (const TimerTable::Record* timer = m_timers.FindLive(static_cast<unsigned>(systemId))) {
        SendEvent(timer->control, EVT_TIMER, timer->timerId, 0);
    }
}

// ---- notifications ------------------------------------------------------------------------

void CPaintManagerUI::SendNotification(CControlUI* control, std::wstring_view type,
                                       uintptr_t wParam, intptr_t lParam, bool async) {
    NotifyRecord notification;
    notification.type = type;
    notification.sender = control;
    notification.wParam = wParam;
    notification.lParam = lParam;
    SendNotification(notification, async);
}

void CPaintManagerUI::SendNotification(NotifyRecord& notification, bool async) {
    notification.mouse = m_lastMouse;
    notification.timestamp = ::GetTickCount();
    if (async) {
        m_notifications.Enqueue(notification);
    } else {
        m_notifications.Deliver(notification);
    }
}

}  // namespace tessel
