#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "base/ComHandles.h"
#include "ui/AccessibleChildIds.h"
#include "ui/AccessibleDescription.h"
#include "ui/Geometry.h"

namespace tessel {

class AccessibleClient;
class CControlUI;
class CPaintManagerUI;

// What changed about a control, told as the event a native control would raise.
enum class AccessibleEvent {
    Focus,        // EVENT_OBJECT_FOCUS, while the window has the system's focus; to the
                  // window itself for no control
    StateChange,  // checked, enabled
    ValueChange,  // a progress bar's value
    TextChange,   // an edit box's value, any other control's name
    Shown,
    Hidden,   // a control; a container shown or hidden reorders the window's children
    Reorder,  // the window's children changed (a page was selected)
};

enum class DialogKind { Dialog, Alert };

// One skinned window's accessibility: the client object that WM_GETOBJECT hands out, the child
// ids of the window's controls, the events native controls would raise, and the default actions,
// which run from a posted message as a native button's BM_CLICK does, never inside a client's
// call.
//
// oleacc.dll is loaded from the system folder the first time a client asks for the object, so a
// window nobody reads costs nothing, and the program imports nothing beyond the known DLLs. So
// that clients in other processes can call the object, the window's thread joins a single-threaded
// apartment then (if it is in none yet) until this part goes.
//
// Ownership: owned by the paint manager, which outlives the tree; holds one reference on the
// client object and disconnects it when the window goes.
class WindowAccessibility {
public:
    explicit WindowAccessibility(CPaintManagerUI& manager);
    ~WindowAccessibility();
    WindowAccessibility(const WindowAccessibility&) = delete;
    WindowAccessibility& operator=(const WindowAccessibility&) = delete;

    // ---- the window's side ----
    // WM_GETOBJECT: true with `result` when the client object was asked for and handed out.
    bool HandleGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The posted default action: true when `message` was it.
    bool HandleDefaultActionMessage(UINT message, WPARAM wParam);
    void Raise(AccessibleEvent event, CControlUI* control);
    // The window has just appeared as a dialog (or an alert): the events the system raises for
    // its own dialogs and message boxes. Its end is told when the window goes.
    void AnnounceDialog(DialogKind kind);
    void Forget(const CControlUI* control);
    // The window is going: a client holding the object gets CO_E_OBJNOTCONNECTED from now on.
    void Disconnect();

    // ---- the client object's side ----
    // The visible controls with a role, in tree order.
    std::vector<CControlUI*> ExposedControls() const;
    long IdOf(const CControlUI* control) { return m_ids.IdOf(control); }
    CControlUI* ControlOf(long id) const { return m_ids.ControlOf(id); }
    AccessibleDescription Describe(CControlUI& control) const;
    // The control's place in screen pixels; nullopt while it is hidden.
    std::optional<UiRect> ScreenRect(CControlUI& control) const;
    // The control has the keyboard focus and the window (or the control's native edit window)
    // the system's.
    bool HasSystemFocus(const CControlUI* control) const;
    // The focused child's id, CHILDID_SELF when the window has the focus but no child does,
    // nullopt when the window does not have it.
    std::optional<long> FocusedChild();
    // The child at a screen point, CHILDID_SELF for the window's own area, nullopt outside it.
    std::optional<long> ChildAt(POINT screen);
    bool PostDefaultAction(long id);
    bool TakeFocus(CControlUI* control);

private:
    void CarryOutDefaultAction(CControlUI& control);
    bool IsFocusWindow(HWND focus) const;

    CPaintManagerUI& m_manager;  // not owned; owns this part
    AccessibleChildIds m_ids;
    std::optional<ComApartment> m_apartment;  // left after the client object
    UniqueCom<AccessibleClient> m_client;     // one reference, given up in Disconnect
    bool m_dialogAnnounced = false;
};

}  // namespace tessel
