#include "ui/FocusChain.h"

#include <algorithm>

#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

void SendFocusEvent(CControlUI* target, int kind, CControlUI* sender) {
    EventRecord event;
    event.kind = kind;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
    target->Event(event);
}

}  // namespace

CControlUI* NextTabStop(std::span<CControlUI* const> stops, const CControlUI* current,
                        TabDirection direction) {
    if (stops.empty()) {
        return nullptr;
    }
    const bool forward = direction == TabDirection::Forward;
    const auto it = std::find(stops.begin(), stops.end(), current);
    if (it == stops.end()) {
        return forward ? stops.front() : stops.back();
    }
    if (forward) {
        return it + 1 == stops.end() ? stops.front() : *(it + 1);
    }
    return it == stops.begin() ? stops.back() : *(it - 1);
}

std::vector<CControlUI*> CollectTabStops(CControlUI* root) {
    std::vector<CControlUI*> stops;
    if (root != nullptr) {
        root->FindControl(
            [](CControlUI* c, void* data) -> CControlUI* {
                if ((c->GetControlFlags() & UIFLAG_TABSTOP) != 0) {
                    static_cast<std::vector<CControlUI*>*>(data)->push_back(c);
                }
                return nullptr;
            },
            &stops, UIFIND_VISIBLE | UIFIND_ENABLED);
    }
    return stops;
}

void FocusChain::SetFocus(CControlUI* control) {
    const HWND window = m_manager.GetPaintWindow();
    if (window != nullptr && ::GetFocus() != window && control != m_focus) {
        ::SetFocus(window);
    }
    if (control == m_focus) {
        return;
    }
    CControlUI* const old = m_focus;
    if (old != nullptr) {
        SendFocusEvent(old, EVT_KILLFOCUS, control);
        m_manager.SendNotification(old, L"killfocus");
        m_focus = nullptr;
    }
    if (control != nullptr && control->GetManager() == &m_manager && control->IsVisible() &&
        control->IsEnabled()) {
        m_focus = control;
        SendFocusEvent(control, EVT_SETFOCUS, control);
        m_manager.SendNotification(control, L"setfocus");
    }
    // Handlers of the events above may have moved the focus on: tell where it is now.
    if (m_focus != old) {
        m_manager.OnFocusMoved(m_focus);
    }
}

void FocusChain::MoveToNext(TabDirection direction) {
    if (m_manager.IsUpdateNeeded() && direction == TabDirection::Forward) {
        m_focusNeeded = true;
        if (const HWND window = m_manager.GetPaintWindow()) {
            ::InvalidateRect(window, nullptr, FALSE);
        }
        return;
    }
    m_focusNeeded = false;
    const std::vector<CControlUI*> stops = CollectTabStops(m_manager.GetRoot());
    if (CControlUI* next = NextTabStop(stops, m_focus, direction)) {
        SetFocus(next);
    }
}

void FocusChain::Reset() {
    m_focus = nullptr;
    m_focusNeeded = true;
}

void FocusChain::Forget(const CControlUI* control) {
    if (m_focus == control) {
        m_focus = nullptr;
    }
}

}  // namespace tessel
