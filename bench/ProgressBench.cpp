// Progress channel benchmark.
//
//   progress_bench            runs both measurements and prints the figures
//   progress_bench --writer <channel> <count>   (started by the benchmark itself)
//
// 1. Latency: a writer in another process stamps each message with QueryPerformanceCounter (one
//    clock for every process) as a Style 4 line "v:<ticks>", writes it once the channel is empty,
//    then pauses 0-3 ms. The window's handler takes the difference. Median and 99th percentile.
// 2. Idle cost: CPU time of this process over 10 s while the monitor polls an empty channel and
//    the main thread sleeps.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/InstallMessages.h"
#include "engine/ProgressMonitor.h"
#include "engine/SharedMemoryMap.h"

using namespace tessel;

namespace {

double TicksToMs(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int RunWriter(const std::string& channel, int count) {
    CSharedMemoryMap map;
    if (map.Open(channel) == nullptr) {
        return 3;
    }
    std::mt19937 random(1);
    for (int i = 0; i < count; ++i) {
        while (!map.IsEmpty(channel)) {
            ::Sleep(0);
        }
        ::Sleep(random() % 4);
        map.Write(channel, R"({"Name":"InstallSilence","Style":4,"sParam":"v:)" +
                               std::to_string(Now()) + "\"}");
    }
    return 0;
}

std::vector<double> g_latencies;
const auto g_mailbox = std::make_shared<ProgressMailbox>();

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INSTALL_DRIVER) {
        const LONGLONG handled = Now();
        if (const auto line = g_mailbox->TakeDriverLine()) {
            const LONGLONG stamped = std::stoll(line->substr(2));
            g_latencies.push_back(TicksToMs(handled - stamped));
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * values.size()));
    return values[index];
}

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto toMs = [](FILETIME t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10'000.0;
    };
    return toMs(kernel) + toMs(user);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--writer") {
        return RunWriter(argv[2], std::atoi(argv[3]));
    }
    constexpr int kMessages = 1000;
    const std::string channel = "TesselBench-" + std::to_string(::GetCurrentProcessId());

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TesselProgressBench";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wc.hInstance, nullptr);

    // --- idle cost
    CSharedMemoryMap holder;
    holder.Open(channel);
    MonitoredInstallation installation;
    installation.window = window;
    installation.mailbox = g_mailbox;
    installation.channel = std::make_unique<CSharedMemoryMap>();
    installation.channel->Open(channel);
    installation.channelName = channel;
    if (!StartProgressMonitor(std::move(installation))) {
        return 1;
    }
    ::Sleep(200);
    const double cpuBefore = ProcessCpuMs();
    const ULONGLONG wallBefore = ::GetTickCount64();
    ::Sleep(10'000);
    const double idleCpu = ProcessCpuMs() - cpuBefore;
    const double idleWall = static_cast<double>(::GetTickCount64() - wallBefore);

    // --- latency
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --writer " +
                           std::wstring(channel.begin(), channel.end()) + L" " +
                           std::to_wstring(kMessages);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION writer = {};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &writer)) {
        return 2;
    }
    for (;;) {
        const DWORD wait =
            ::MsgWaitForMultipleObjects(1, &writer.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
        }
        if (wait == WAIT_OBJECT_0) {
            break;
        }
    }
    // Messages posted after the writer ended.
    for (int i = 0; i < 20; ++i) {
        ::Sleep(5);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
        }
    }
    ::CloseHandle(writer.hThread);
    ::CloseHandle(writer.hProcess);

    std::printf("progress latency: %zu of %d messages handled\n", g_latencies.size(), kMessages);
    if (!g_latencies.empty()) {
        std::printf(
            "progress latency: median %.2f ms, p99 %.2f ms, max %.2f ms (goal: median <= 7 ms)\n",
            Percentile(g_latencies, 0.5), Percentile(g_latencies, 0.99),
            Percentile(g_latencies, 1.0));
    }
    std::printf(
        "monitor idle cost: %.1f ms CPU over %.1f s = %.2f %% of one core (goal: <= 1 %%)\n",
        idleCpu, idleWall / 1000.0, 100.0 * idleCpu / idleWall);
    return 0;
}
