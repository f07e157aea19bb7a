#include "ui/FocusIndication.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

// Unscaled pixels.
constexpr int kRingGap = 2;  // between the control and the ring
constexpr int kRingWidth = 2;
constexpr int kRingEdge = 1;  // the antialiased fringe outside the ring
constexpr int kDefaultRound = 4;
constexpr uint32_t kDefaultColor = 0xFF0078D7;

bool IsEffectivelyVisible(const CControlUI& control) {
    for (const CControlUI* c = &control; c != nullptr; c = c->GetParent()) {
        if (!c->IsVisible()) {
            return false;
        }
    }
    return true;
}

}  // namespace

void FocusIndication::Start(HWND window) {
    BOOL alwaysShown = FALSE;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0);
    bool shown = alwaysShown != FALSE;
    if (!shown && window != nullptr) {
        if (const CPaintManagerUI* owner =
                CPaintManagerUI::ManagerOf(::GetWindow(window, GW_OWNER))) {
            shown = owner->AreFocusCuesShown();
        }
    }
    m_shown = shown;
}

void FocusIndication::OnUiStateMessage(UINT message, WPARAM wParam) {
    if (message != WM_UPDATEUISTATE && message != WM_CHANGEUISTATE) {
        return;
    }
    if ((HIWORD(wParam) & UISF_HIDEFOCUS) == 0) {
        return;
    }
    switch (LOWORD(wParam)) {
        case UIS_SET:
            SetShown(false);
            return;
        case UIS_CLEAR:
            SetShown(true);
            return;
        default:
            // UIS_INITIALIZE is the system's to resolve into one of the two.
            return;
    }
}

void FocusIndication::KeyboardUsed() {
    if (m_shown) {
        return;
    }
    if (const HWND window = m_manager.GetPaintWindow()) {
        // The default procedure takes it to the top-level window, which tells every window under
        // it, this one too, with WM_UPDATEUISTATE.
        ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    }
    // A system that thinks the cues shown already says nothing: they are shown here either way.
    SetShown(true);
}

void FocusIndication::SetShown(bool shown) {
    if (m_shown == shown) {
        return;
    }
    m_shown = shown;
    FocusMoved(m_manager.GetFocus());
}

void FocusIndication::FocusMoved(const CControlUI* now) {
    m_manager.Invalidate(m_lastRing);
    m_lastRing = now != nullptr ? RingBounds(*now) : UiRect{};
    m_manager.Invalidate(m_lastRing);
}

UiRect FocusIndication::RingBounds(const CControlUI& control) const {
    const int outset = m_manager.Scale(kRingGap + kRingWidth + kRingEdge);
    const UiRect r = control.GetPos();
    return {r.left - outset, r.top - outset, r.right + outset, r.bottom + outset};
}

void FocusIndication::Paint(HDC dc, const UiRect& area) {
    const CControlUI* control = m_manager.GetFocus();
    if (!m_shown || control == nullptr || !IsEffectivelyVisible(*control) ||
        control->GetPos().IsEmpty() || !RingBounds(*control).Intersects(area)) {
        return;
    }
    m_lastRing = RingBounds(*control);
    const WindowAttributes& window = m_manager.GetWindowAttributes();
    const uint32_t color = window.focusColor != 0 ? window.focusColor : kDefaultColor;
    const int round = control->GetFocusRound() >= 0 ? control->GetFocusRound()
                      : window.focusRound >= 0      ? window.focusRound
                                                    : kDefaultRound;
    // The ring's centre line, half its width outside the gap.
    const auto width = static_cast<Gdiplus::REAL>(m_manager.Scale(kRingWidth));
    const Gdiplus::REAL outset = static_cast<Gdiplus::REAL>(m_manager.Scale(kRingGap)) + width / 2;
    const UiRect r = control->GetPos();
    const Gdiplus::REAL left = static_cast<Gdiplus::REAL>(r.left) - outset;
    const Gdiplus::REAL top = static_cast<Gdiplus::REAL>(r.top) - outset;
    const Gdiplus::REAL w = static_cast<Gdiplus::REAL>(r.Width()) + 2 * outset;
    const Gdiplus::REAL h = static_cast<Gdiplus::REAL>(r.Height()) + 2 * outset;
    // Corners as round as asked, around the gap, and never more than a half circle.
    const Gdiplus::REAL diameter =
        std::min({2 * (static_cast<Gdiplus::REAL>(m_manager.Scale(round)) + outset), w, h});

    Gdiplus::GraphicsPath path;
    if (diameter > 0) {
        path.AddArc(left, top, diameter, diameter, 180, 90);
        path.AddArc(left + w - diameter, top, diameter, diameter, 270, 90);
        path.AddArc(left + w - diameter, top + h - diameter, diameter, diameter, 0, 90);
        path.AddArc(left, top + h - diameter, diameter, diameter, 90, 90);
        path.CloseFigure();
    } else {
        path.AddRectangle(Gdiplus::RectF(left, top, w, h));
    }
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetClip(Gdiplus::Rect(area.left, area.top, area.Width(), area.Height()));
    Gdiplus::Pen pen(Gdiplus::Color(color), width);
    graphics.DrawPath(&pen, &path);
}

}  // namespace tessel
