#include "engine/ProgressMonitor.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "base/SystemLibrary.h"
#include "engine/InstallMessages.h"
#include "engine/ProgressMessage.h"

namespace tessel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kIdlePollMs = 5;
// The silent installer writes its next message only once this one is taken, often within
// microseconds during a burst (driver lines, percentages of small files). Right after a message
// the monitor only yields its time slice before looking again, then looks every millisecond, and
// only then falls back to the idle poll.
constexpr auto kEagerPeriod = std::chrono::milliseconds(1);
constexpr auto kBusyPeriod = std::chrono::milliseconds(100);
constexpr DWORD kBusyPollMs = 1;
// A window whose queue is full is behind, not gone.
constexpr DWORD kFullQueueRetryMs = 1;

// Sleep(5) only means 5 ms when the system timer runs at 1 ms; held for the monitor's lifetime.
// winmm is not one of the system's known DLLs, and the installer runs from a download folder:
// it is loaded from the system folder by its full path, never imported.
class TimerResolution {
public:
    TimerResolution() : m_winmm(LoadSystemLibrary(L"winmm.dll")) {
        m_begin = ProcedureAddress<PeriodFunction>(m_winmm.Get(), "timeBeginPeriod");
        m_end = ProcedureAddress<PeriodFunction>(m_winmm.Get(), "timeEndPeriod");
        m_active = m_begin != nullptr && m_end != nullptr && m_begin(kResolutionMs) == 0;
    }
    ~TimerResolution() {
        if (m_active) {
            m_end(kResolutionMs);
        }
    }
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;

private:
    using PeriodFunction = UINT(WINAPI*)(UINT);
    static constexpr UINT kResolutionMs = 1;

    UniqueModule m_winmm;
    PeriodFunction m_begin = nullptr;
    PeriodFunction m_end = nullptr;
    bool m_active = false;
};

void PostToWindow(HWND window, UINT message, WPARAM wParam) {
    while (!::PostMessageW(window, message, wParam, 0) &&
           ::GetLastError() == ERROR_NOT_ENOUGH_QUOTA && ::IsWindow(window)) {
        ::Sleep(kFullQueueRetryMs);
    }
}

class InstallationMonitor {
public:
    explicit InstallationMonitor(MonitoredInstallation installation)
        : m_run(std::move(installation)) {}

    void Run() {
        bool following = true;
        Clock::time_point lastMessage = Clock::now();
        for (;;) {
            if (following) {
                const Look look = TakeAndDeliver();
                if (look == Look::WindowGone) {
                    return;
                }
                if (look == Look::Delivered) {
                    lastMessage = Clock::now();
                    continue;
                }
                following = look != Look::StopFollowing;
            }
            const auto quiet = Clock::now() - lastMessage;
            if (following && quiet < kEagerPeriod) {
                ::SwitchToThread();
                continue;
            }
            if (ProcessHasEnded()) {
                // Whatever it published before its end is in the channel by now.
                while (following && TakeAndDeliver() == Look::Delivered) {
                }
                ReportProcessEnd();
                return;
            }
            if (!following && (!m_run.process || m_run.mailbox->IsClosed())) {
                return;
            }
            Pause(following && quiet < kBusyPeriod ? kBusyPollMs : kIdlePollMs);
        }
    }

private:
    enum class Look { Nothing, Delivered, StopFollowing, WindowGone };

    Look TakeAndDeliver() {
        std::string text;
        if (!m_run.mailbox->TakeIfOpen([&] { text = m_run.channel->Take(m_run.channelName); })) {
            return Look::WindowGone;
        }
        if (text.empty()) {
            return Look::Nothing;
        }
        ProgressAction action = InterpretProgressMessage(text);
        switch (action.kind) {
            case ProgressAction::Kind::Ignore:
                break;
            case ProgressAction::Kind::StopMonitor:
                return Look::StopFollowing;
            case ProgressAction::Kind::Send:
                ::SendMessageW(m_run.window, action.message, static_cast<WPARAM>(action.wParam), 0);
                break;
            case ProgressAction::Kind::Post:
                PostToWindow(m_run.window, action.message, static_cast<WPARAM>(action.wParam));
                break;
            case ProgressAction::Kind::PostDriverLine:
                m_run.mailbox->PushDriverLine(std::move(action.driverLine));
                PostToWindow(m_run.window, WM_INSTALL_DRIVER, 0);
                break;
        }
        return Look::Delivered;
    }

    bool ProcessHasEnded() const {
        return m_run.process && ::WaitForSingleObject(m_run.process.Get(), 0) == WAIT_OBJECT_0;
    }

    void ReportProcessEnd() {
        DWORD exitCode = 0;
        ::GetExitCodeProcess(m_run.process.Get(), &exitCode);
        if (!m_run.mailbox->IsClosed()) {
            PostToWindow(m_run.window, WM_INSTALL_PROCESSENDED, exitCode);
        }
    }

    // Returns early when the process ends.
    void Pause(DWORD ms) const {
        if (m_run.process) {
            ::WaitForSingleObject(m_run.process.Get(), ms);
        } else {
            ::Sleep(ms);
        }
    }

    MonitoredInstallation m_run;
};

}  // namespace

void MonitorInstallProgress(MonitoredInstallation installation) {
    if (!installation.mailbox || !installation.channel) {
        return;
    }
    const TimerResolution resolution;
    InstallationMonitor(std::move(installation)).Run();
}

bool StartProgressMonitor(MonitoredInstallation installation) {
    try {
        std::thread([run = std::move(installation)]() mutable noexcept {
            MonitorInstallProgress(std::move(run));
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace tessel
