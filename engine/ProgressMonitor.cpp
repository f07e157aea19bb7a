#include "engine/ProgressMonitor.h"

#include <memory>
#include <system_error>
#include <thread>

#include "engine/ProgressMessage.h"
#include "engine/SharedMemoryMap.h"

namespace tessel {
namespace {

constexpr DWORD kPollIntervalMs = 5;

// Sleep(5) only means 5 ms when the system timer runs at 1 ms; held for the monitor's lifetime.
// winmm is not one of the system's known DLLs, and the installer runs from a download folder:
// it is loaded from System32 by full search rule, never imported.
class TimerResolution {
public:
    TimerResolution()
        : m_winmm(::LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        if (m_winmm) {
            m_begin = reinterpret_cast<PeriodFunction>(
                reinterpret_cast<void*>(::GetProcAddress(m_winmm.Get(), "timeBeginPeriod")));
            m_end = reinterpret_cast<PeriodFunction>(
                reinterpret_cast<void*>(::GetProcAddress(m_winmm.Get(), "timeEndPeriod")));
        }
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
