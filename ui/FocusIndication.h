#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/Geometry.h"

namespace tessel {

class CControlUI;
class CPaintManagerUI;

// Whether a skinned window shows where the keyboard focus is, and the ring that shows it.
//
// It follows the window's focus cues as native controls do (UISF_HIDEFOCUS of WM_UPDATEUISTATE):
// hidden while only the mouse has been used, shown once the keyboard moves the focus (Tab asks
// the top-level window to clear the flag with WM_CHANGEUISTATE, as dialogs do), and shown from
// the start when the user has keyboard cues always on (SPI_GETKEYBOARDCUES) or when the owner
// window shows them already (a box opened from the keyboard). Once shown the cues stay: Windows
// hides them again only when a window is made anew.
//
// The ring is drawn over the tree, around the focused control at a gap from it, in the window's
// "focuscolor" with corners of the control's "focusround" (else the window's).
//
// Ownership: owns nothing; the paint manager owns it and the focused control.
class FocusIndication {
public:
    explicit FocusIndication(CPaintManagerUI& manager) : m_manager(manager) {}
    FocusIndication(const FocusIndication&) = delete;
    FocusIndication& operator=(const FocusIndication&) = delete;

    // The window is bound: sets the starting state (see above). Null: hidden.
    void Start(HWND window);
    // WM_UPDATEUISTATE, and WM_CHANGEUISTATE as a fallback for systems whose default procedure
    // does not pass it on.
    void OnUiStateMessage(UINT message, WPARAM wParam);
    bool IsShown() const { return m_shown; }
    // The keyboard moved the focus.
    void KeyboardUsed();
    // Repaints where the ring was and where it goes now (`now` may be null).
    void FocusMoved(const CControlUI* now);
    // Draws the focused control's ring where it meets `area` (client coordinates).
    void Paint(HDC dc, const UiRect& area);

    // Where the ring around `control` is drawn, with its antialiased edge (client pixels).
    UiRect RingBounds(const CControlUI& control) const;

private:
    void SetShown(bool shown);

    CPaintManagerUI& m_manager;  // not owned; owns this part
    bool m_shown = false;
    // Where the ring was last drawn or asked for: the control it was around may be gone.
    UiRect m_lastRing;
};

}  // namespace tessel
