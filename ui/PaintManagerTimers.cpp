// Control timers of a paint manager: each (control, timer id) maps to one system timer of the
// window whose id runs through 0..239.
#include <algorithm>

#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {
constexpr UINT kSystemTimerIds = 240;
}  // namespace

std::optional<UINT> CPaintManagerUI::NextSystemTimerId() const {
    // The id after the last one, wrapping to 0; ids still held by a record (live, or killed and
    // waiting for a restart) are passed over so one timer never replaces another.
    for (UINT step = 1; step <= kSystemTimerIds; ++step) {
        const UINT candidate = (m_lastTimerId + step) % kSystemTimerIds;
        const bool taken = std::any_of(m_timers.begin(), m_timers.end(), [&](const TimerRecord& t) {
            return t.systemId == candidate;
        });
        if (!taken) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse) {
    if (control == nullptr || m_window == nullptr) {
        return false;
    }
    for (TimerRecord& timer : m_timers) {
        if (timer.control == control && timer.window == m_window && timer.localId == timerId) {
            if (!timer.killed) {
                return false;
            }
            if (::SetTimer(m_window, timer.systemId, elapse, nullptr) == 0) {
                return false;
            }
            timer.killed = false;
            return true;
        }
    }
    const std::optional<UINT> systemId = NextSystemTimerId();
    if (!systemId || ::SetTimer(m_window, *systemId, elapse, nullptr) == 0) {
        return false;
    }
    m_lastTimerId = *systemId;
    m_timers.push_back({control, timerId, m_window, *systemId, false});
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT timerId) {
    for (TimerRecord& timer : m_timers) {
        if (timer.control == control && timer.window == m_window && timer.localId == timerId &&
            !timer.killed) {
            if (::IsWindow(m_window)) {
                ::KillTimer(timer.window, timer.systemId);
            }
            timer.killed = true;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
    RemoveTimersOf(control);
}

void CPaintManagerUI::RemoveTimersOf(CControlUI* control) {
    std::erase_if(m_timers, [&](const TimerRecord& timer) {
        if (timer.control != control) {
            return false;
        }
        if (!timer.killed && ::IsWindow(timer.window)) {
            ::KillTimer(timer.window, timer.systemId);
        }
        return true;
    });
}

void CPaintManagerUI::RemoveAllTimers() {
    for (const TimerRecord& timer : m_timers) {
        if (!timer.killed && ::IsWindow(timer.window)) {
            ::KillTimer(timer.window, timer.systemId);
        }
    }
    m_timers.clear();
}

void CPaintManagerUI::OnTimer(WPARAM systemId) {
    for (const TimerRecord& timer : m_timers) {
        if (timer.window == m_window && timer.systemId == systemId && !timer.killed) {
            SendEvent(timer.control, EVT_TIMER, timer.localId, 0);
            return;
        }
    }
}

}  // namespace tessel
