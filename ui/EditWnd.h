#pragma once

#include <windows.h>

#include "ui/GdiHandles.h"
#include "ui/Geometry.h"
#include "ui/WindowWnd.h"

namespace tessel {

class CEditUI;

// The native edit window that does the typing for a focused CEditUI. In a layered window it is a
// borderless pop-up at the control's screen position (a child would not be drawn there);
// otherwise a child window over the control. Reports "textchanged" and "return" for its control,
// and closes as soon as it loses the keyboard focus.
//
// Ownership: the object deletes itself when its native window is destroyed (OnWindowDestroyed).
// The control only points at it, and tells it when the control goes first.
class CEditWnd : public CWindowWnd {
public:
    // Null when the native window cannot be made.
    static CEditWnd* Open(CEditUI* owner, bool selectAll);
    // A click into the control while the window is open: the keyboard comes back here.
    void TakeFocus();
    // The control is going away: the window closes now and never calls back.
    void OwnerGone();

protected:
    const wchar_t* WindowClassName() const override { return L"TesselEditWnd"; }
    const wchar_t* BaseClassName() const override { return L"EDIT"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND window) override;

private:
    explicit CEditWnd(CEditUI* owner) : m_owner(owner) {}
    bool Init(bool selectAll);
    // The control's text area, client coordinates of the skinned window, one line high.
    UiRect EditArea() const;
    void OnTextChanged();

    CEditUI* m_owner;  // not owned; clears itself through OwnerGone
    UniqueBrush m_background;
    bool m_layered = false;
    bool m_ready = false;          // set up: text changes are the user's from now on
    bool m_ownedByWindow = false;  // the native window exists and ends the object
};

}  // namespace tessel
