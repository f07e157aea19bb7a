#include "ui/WindowAccessibility.h"

#include <oleacc.h>

#include "base/SystemLibrary.h"
#include "ui/AccessibleClient.h"
#include "ui/CheckBoxUI.h"
#include "ui/ControlUI.h"
#include "ui/EditUI.h"
#include "ui/EditWnd.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

using LresultFromObjectProc = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CreateStdAccessibleObjectProc = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);

struct Oleacc {
    LresultFromObjectProc lresultFromObject = nullptr;
    CreateStdAccessibleObjectProc createStandardObject = nullptr;
};

// Loaded once, on the first request, and kept: the standard objects it makes are its code.
const Oleacc* LoadOleacc() {
    static const UniqueModule module = LoadSystemLibrary(L"oleacc.dll");
    static const Oleacc functions{
        ProcedureAddress<LresultFromObjectProc>(module.Get(), "LresultFromObject"),
        ProcedureAddress<CreateStdAccessibleObjectProc>(module.Get(), "CreateStdAccessibleObject")};
    return functions.lresultFromObject != nullptr ? &functions : nullptr;
}

// Posted with a child id; registered, so no window's own WM_APP messages can collide with it.
UINT DefaultActionMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TesselAccessibleDefaultAction");
    return message;
}

}  // namespace

WindowAccessibility::WindowAccessibility(CPaintManagerUI& manager) : m_manager(manager) {}

WindowAccessibility::~WindowAccessibility() {
    Disconnect();
}

bool WindowAccessibility::HandleGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The object id travels as a 32-bit value in lParam.
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) {
        return false;
    }
    const HWND window = m_manager.GetPaintWindow();
    const Oleacc* oleacc = LoadOleacc();
    if (window == nullptr || oleacc == nullptr) {
        return false;
    }
    if (!m_apartment) {
        m_apartment.emplace();
    }
    if (!m_client) {
        IAccessible* standard = nullptr;
        if (oleacc->createStandardObject == nullptr ||
            FAILED(oleacc->createStandardObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
            standard = nullptr;
        }
        m_client.Reset(new AccessibleClient(*this, window, UniqueCom<IAccessible>(standard)));
    }
    const LRESULT answer = oleacc->lresultFromObject(__uuidof(IAccessible), wParam,
                                                     static_cast<IAccessible*>(m_client.Get()));
    if (answer < 0) {
        return false;  // the system's own object then
    }
    result = answer;
    return true;
}

void WindowAccessibility::Disconnect() {
    const HWND window = m_manager.GetPaintWindow();
    if (m_dialogAnnounced && window != nullptr) {
        m_dialogAnnounced = false;
        ::NotifyWinEvent(EVENT_SYSTEM_DIALOGEND, window, OBJID_WINDOW, CHILDID_SELF);
    }
    if (m_client) {
        m_client.Get()->Disconnect();
        if (m_apartment) {
            // Clients in other processes let go of it now rather than when they exit.
            ::CoDisconnectObject(static_cast<IAccessible*>(m_client.Get()), 0);
        }
        m_client.Reset();
    }
    m_ids.ForgetAll();
}

void WindowAccessibility::Forget(const CControlUI* control) {
    m_ids.Forget(control);
}

// ---- events -------------------------------------------------------------------------------

void WindowAccessibility::Raise(AccessibleEvent event, CControlUI* control) {
    const HWND window = m_manager.GetPaintWindow();
    // Nobody reads a window that is not shown; its creation is not news either.
    if (window == nullptr || !::IsWindowVisible(window)) {
        return;
    }
    const auto notify = [window](DWORD kind, long child) {
        ::NotifyWinEvent(kind, window, OBJID_CLIENT, child);
    };
    const AccessibleRole role = control != nullptr ? RoleOf(*control) : AccessibleRole::None;
    if (event == AccessibleEvent::Focus && role == AccessibleRole::None) {
        // No control a client knows has it (none, or a decoration): the window has it.
        if (IsFocusWindow(::GetFocus())) {
            notify(EVENT_OBJECT_FOCUS, CHILDID_SELF);
        }
        return;
    }
    if (event == AccessibleEvent::Reorder ||
        (role == AccessibleRole::None &&
         (event == AccessibleEvent::Shown || event == AccessibleEvent::Hidden))) {
        notify(EVENT_OBJECT_REORDER, CHILDID_SELF);
        return;
    }
    const long id = role != AccessibleRole::None ? m_ids.IdOf(control) : 0;
    if (id == 0) {
        return;
    }
    switch (event) {
        case AccessibleEvent::Focus:
            if (HasSystemFocus(control)) {
                notify(EVENT_OBJECT_FOCUS, id);
            }
            return;
        case AccessibleEvent::StateChange:
            notify(EVENT_OBJECT_STATECHANGE, id);
            return;
        case AccessibleEvent::ValueChange:
            notify(EVENT_OBJECT_VALUECHANGE, id);
            return;
        case AccessibleEvent::TextChange:
            notify(role == AccessibleRole::EditableText ? EVENT_OBJECT_VALUECHANGE
                                                        : EVENT_OBJECT_NAMECHANGE,
                   id);
            return;
        case AccessibleEvent::Shown:
            notify(EVENT_OBJECT_SHOW, id);
            return;
        case AccessibleEvent::Hidden:
            notify(EVENT_OBJECT_HIDE, id);
            return;
        case AccessibleEvent::Reorder:
            return;
    }
}

void WindowAccessibility::AnnounceDialog(DialogKind kind) {
    const HWND window = m_manager.GetPaintWindow();
    if (window == nullptr) {
        return;
    }
    m_dialogAnnounced = true;
    ::NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, window, OBJID_WINDOW, CHILDID_SELF);
    if (kind == DialogKind::Alert) {
        ::NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
    }
}

// ---- the tree as clients see it -----------------------------------------------------------

std::vector<CControlUI*> WindowAccessibility::ExposedControls() const {
    std::vector<CControlUI*> exposed;
    if (CControlUI* root = m_manager.GetRoot()) {
        root->FindControl(
            [](CControlUI* c, void* data) -> CControlUI* {
                if (RoleOf(*c) != AccessibleRole::None) {
                    static_cast<std::vector<CControlUI*>*>(data)->push_back(c);
                }
                return nullptr;
            },
            &exposed, UIFIND_VISIBLE | UIFIND_ME_FIRST);
    }
    return exposed;
}

AccessibleDescription WindowAccessibility::Describe(CControlUI& control) const {
    return DescribeControl(control, ExposedControls());
}

std::optional<UiRect> WindowAccessibility::ScreenRect(CControlUI& control) const {
    if ((Describe(control).states & kAccessibleInvisible) != 0) {
        return std::nullopt;
    }
    POINT origin{0, 0};
    ::ClientToScreen(m_manager.GetPaintWindow(), &origin);
    return control.GetPos().Offset(origin.x, origin.y);
}

bool WindowAccessibility::IsFocusWindow(HWND focus) const {
    if (focus == nullptr) {
        return false;
    }
    if (focus == m_manager.GetPaintWindow()) {
        return true;
    }
    // A focused edit box types in a native window of its own.
    const auto* edit = ControlAs<CEditUI>(m_manager.GetFocus(), L"Edit");
    return edit != nullptr && edit->GetNativeEdit() != nullptr &&
           edit->GetNativeEdit()->GetHWND() == focus;
}

bool WindowAccessibility::HasSystemFocus(const CControlUI* control) const {
    return control != nullptr && control == m_manager.GetFocus() && IsFocusWindow(::GetFocus());
}

std::optional<long> WindowAccessibility::FocusedChild() {
    if (!IsFocusWindow(::GetFocus())) {
        return std::nullopt;
    }
    CControlUI* focus = m_manager.GetFocus();
    if (focus == nullptr || RoleOf(*focus) == AccessibleRole::None) {
        return CHILDID_SELF;
    }
    return m_ids.IdOf(focus);
}

std::optional<long> WindowAccessibility::ChildAt(POINT screen) {
    const HWND window = m_manager.GetPaintWindow();
    POINT client = screen;
    RECT area{};
    if (!::ScreenToClient(window, &client) || !::GetClientRect(window, &area) ||
        !::PtInRect(&area, client)) {
        return std::nullopt;
    }
    // Later controls paint over earlier ones.
    const std::vector<CControlUI*> exposed = ExposedControls();
    for (auto it = exposed.rbegin(); it != exposed.rend(); ++it) {
        if ((*it)->GetPos().Contains({client.x, client.y})) {
            return m_ids.IdOf(*it);
        }
    }
    return CHILDID_SELF;
}

// ---- doing what a client asks -------------------------------------------------------------

bool WindowAccessibility::PostDefaultAction(long id) {
    const HWND window = m_manager.GetPaintWindow();
    return window != nullptr &&
           ::PostMessageW(window, DefaultActionMessage(), static_cast<WPARAM>(id), 0) != FALSE;
}

bool WindowAccessibility::HandleDefaultActionMessage(UINT message, WPARAM wParam) {
    if (message != DefaultActionMessage() || message == 0) {
        return false;
    }
    // Anyone may post it: only a control of this window that still has an action counts.
    CControlUI* control = m_ids.ControlOf(static_cast<long>(wParam));
    if (control != nullptr && control->GetManager() == &m_manager &&
        !Describe(*control).defaultAction.empty() &&
        (Describe(*control).states & kAccessibleInvisible) == 0) {
        CarryOutDefaultAction(*control);
    }
    return true;
}

void WindowAccessibility::CarryOutDefaultAction(CControlUI& control) {
    // A check box that toggles on the press itself gets the press's toggle and report too.
    if (auto* box = ControlAs<CCheckBoxUI>(&control, L"CheckBox");
        box != nullptr && box->IsAutoCheck()) {
        box->SetSelected(!box->IsSelected());
        m_manager.SendNotification(box, L"checkclick", box->IsSelected() ? 1 : 0);
    }
    control.Activate();
}

bool WindowAccessibility::TakeFocus(CControlUI* control) {
    if (control == nullptr || (Describe(*control).states & kAccessibleFocusable) == 0) {
        return false;
    }
    if (control != m_manager.GetFocus()) {
        control->SetFocus();
        return m_manager.GetFocus() == control;
    }
    // Focused in the tree but not in the system (a message box had the focus, say): the window
    // takes it back, which the control hears.
    const HWND window = m_manager.GetPaintWindow();
    if (!IsFocusWindow(::GetFocus())) {
        ::SetFocus(window);
    }
    // An edit box whose native window closed while the window kept the focus opens it again, as
    // when the window gets the focus back.
    const auto* edit = ControlAs<CEditUI>(control, L"Edit");
    if (edit != nullptr && edit->GetNativeEdit() == nullptr && ::GetFocus() == window) {
        EventRecord event;
        event.kind = EVT_SETFOCUS;
        event.sender = control;
        event.timestamp = ::GetTickCount();
        control->Event(event);
    }
    return m_manager.GetFocus() == control;
}

}  // namespace tessel
