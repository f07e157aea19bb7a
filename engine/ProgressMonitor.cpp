#include "engine/ProgressMonitor.h"

#include <timeapi.h>

#include <memory>
#include <system_error>
#include <thread>

#include "engine/ProgressMessage.h"
#include "engine/SharedMemoryMap.h"

namespace tessel {
namespace {

constexpr DWORD kPollIntervalMs = 5;

// Sleep(5) only means 5 ms when the system timer runs at 1 ms; held for the monitor's lifetime.
class TimerResolution {
public:
    TimerResolution() : m_active(::timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~TimerResolution() {
        if (m_active) {
            ::timeEndPeriod(1);
        }
    }
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;

private:
    bool m_active;
};

// Returns false when the monitor must stop.
bool Deliver(HWND window, ProgressAction action) {
    switch (action.kind) {
        case ProgressAction::Kind::Ignore:
            return true;
        case ProgressAction::Kind::StopMonitor:
            return false;
        case ProgressAction::Kind::Send:
            ::SendMessageW(window, action.message, static_cast<WPARAM>(action.wParam), 0);
            return true;
        case ProgressAction::Kind::Post:
            ::PostMessageW(window, action.message, static_cast<WPARAM>(action.wParam), 0);
            return true;
        case ProgressAction::Kind::PostDriverLine: {
            auto line = std::make_unique<std::string>(std::move(action.driverLine));
            if (::PostMessageW(window, action.message, reinterpret_cast<WPARAM>(line.get()), 0)) {
                (void)line.release();  // the window owns it now
            }
            return true;
        }
    }
    return true;
}

}  // namespace

void MonitorInstallProgress(HWND window, const std::string& channelName) {
    TimerResolution resolution;
    CSharedMemoryMap channel;
    channel.Open(channelName);
    for (;;) {
        ::Sleep(kPollIntervalMs);
        const std::string text = channel.Read(channelName);
        channel.Write(channelName, {});
        if (text.empty()) {
            continue;
        }
        if (!Deliver(window, InterpretProgressMessage(text))) {
            return;
        }
    }
}

bool StartProgressMonitor(HWND window, std::string channelName) {
    try {
        std::thread([window, name = std::move(channelName)]() noexcept {
            MonitorInstallProgress(window, name);
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace tessel
