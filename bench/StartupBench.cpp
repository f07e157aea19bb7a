// Startup benchmark: from just before CreateProcessW to the program's first frame on screen.
//
// Programs, started in turn (one unmeasured warm-up run each, then kRuns measured runs each):
// - empty_window.exe: an ordinary window filled with one colour in WM_PAINT, the floor;
// - TesselAssistantSetup.exe: the installer, when it is part of this build;
// - layered_stand_in.exe: one UpdateLayeredWindow frame of the same size, for context (the cost
//   of a layered window by itself).
//
// How the first frame is seen: this program first covers the middle of the work area with a
// window of its own in a colour no program here paints (magenta), so what is behind every window
// is known. All three programs centre their 730 x 498 window (at 100 %) on the work area. After
// CreateProcessW the bench reads five points inside that rectangle straight from the screen
// (GetPixel on the screen DC, that is from the X server under Wine) about once a millisecond until
// none of the five shows the backdrop, then goes on reading for a second. The first frame is the
// picture that is still there a second later, and its time is that of the last change before: an
// ordinary window under Wine is sometimes mapped black a moment before its first WM_PAINT reaches
// the screen, which is no frame of the program (such runs are counted and shown). Reading the
// screen sees both kinds of window alike: the X server's contents after WM_PAINT of the ordinary
// window or after UpdateLayeredWindow of the layered one (checked under Wine: the layered frame's
// colours are read back exactly; PrintWindow or a window DC would read the program's own surface
// instead, which is not what a person sees). The first loop deliberately does not look the window
// up while waiting: finding windows by process goes through the wine server, which the starting
// program needs too, while a screen read goes to the X server only. Once the frame has stayed, the
// topmost window at the middle point other than the backdrop is checked to belong to the started
// process. The pointer is moved off the window before each start, so no program shows a hover
// state in its first frame.
//
// The installer writes its payload after its first frame: for it the bench then waits for the
// line "write the payload: ended after" to appear in its log (%TEMP%\TesselAssistantSetup.log)
// and counts that time from the start too. The same installer is also measured around two large
// stand-in payloads, made here at every run by copying it and replacing its "DATA" 18 resource
// (UpdateResourceW) with pseudo-random bytes of the size of a compressed 100 MB and 500 MB product
// (56 and 280 MB): its first frame and working set must not grow with the product.
//
// Then the process's working set is read (GetProcessMemoryInfo; under Wine the resident and peak
// resident size of the Unix process, Wine's own libraries included), for the installers once the
// payload is written, the program gets WM_CLOSE and the next one starts only after it has ended
// with 0 and the backdrop shows again.
// At a display scale other than 100 % (scripts/bench.sh runs it a second time on a display of 144
// DPI) every window is that scale's size, the figures are named "at 150 %", and the large payloads
// are left out: what they show does not depend on the scale.
// Usage: startup_bench [runs] [-v]; -v prints every run (when the backdrop was first covered, the
// colours seen then and those of the frame, and how long the program took to end).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchClock.h"
#include "bench/BenchResult.h"

#include "bench/InstallWindowSize.h"

namespace {

constexpr int kDefaultRuns = 12;
const int kWidth = tessel::bench::InstallWindowSize().cx;
const int kHeight = tessel::bench::InstallWindowSize().cy;
constexpr COLORREF kBackdrop = RGB(0xFF, 0x00, 0xFF);
constexpr DWORD kFirstFrameTimeoutMs = 30'000;
constexpr DWORD kSettleMs = 1'000;
constexpr double kBytesPerMb = 1024.0 * 1024.0;
constexpr DWORD kPayloadTimeoutMs = 300'000;
// Compressed sizes of a 100 MB and a 500 MB product (half text, half random).
constexpr unsigned kLargePayloadsMb[] = {56, 280};
constexpr char kPayloadWritten[] = "write the payload: ended after ";
constexpr char kPayloadFailed[] = "write the payload: failed";

struct Program {
    Program(std::wstring label, std::wstring path, bool installer = false, bool made = false)
        : label(std::move(label)), path(std::move(path)), installer(installer), made(made) {}

    std::wstring label;
    std::wstring path;
    bool installer;  // writes a payload after its first frame, and logs it
    bool made;       // made by this run (MakeLargeInstaller), deleted at its end
    std::vector<double> startMs;
    std::vector<double> payloadMs;
    std::vector<double> peakWorkingSetMb;
    std::vector<double> workingSetMb;
    int earlierPicture = 0;  // runs where something else was on screen before the first frame
    int failures = 0;
    std::wstring windowSeen;  // class, title and rectangle of the window, from the first run
};

using Colours = std::array<COLORREF, 5>;

struct Run {
    bool ok = false;
    double startMs = 0;
    double peakWorkingSetMb = 0;
    double workingSetMb = 0;
    double payloadMs = 0;
    double firstChangeMs = 0;  // the backdrop first covered, by whatever picture
    Colours firstPicture{};
    Colours firstFrame{};
    double closeMs = 0;
    std::wstring window;
    std::string error;
};

std::wstring BenchFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The rectangle every program here puts its window in: 730 x 498, centred on the work area.
RECT ExpectedWindowRect() {
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - kWidth) / 2;
    const int y = work.top + (work.bottom - work.top - kHeight) / 2;
    return RECT{x, y, x + kWidth, y + kHeight};
}

// The middle and the four quarter points of the rectangle: inside any frame, clear of the
// title bar, border and rounded corners.
std::array<POINT, 5> ProbePoints(const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    return {POINT{r.left + w / 2, r.top + h / 2}, POINT{r.left + w / 4, r.top + h / 4},
            POINT{r.left + 3 * w / 4, r.top + h / 4}, POINT{r.left + w / 4, r.top + 3 * h / 4},
            POINT{r.left + 3 * w / 4, r.top + 3 * h / 4}};
}

Colours ReadScreen(HDC screen, const std::array<POINT, 5>& points) {
    Colours colours;
    for (size_t i = 0; i < points.size(); ++i) {
        colours[i] = ::GetPixel(screen, points[i].x, points[i].y);
    }
    return colours;
}

bool NoneIsBackdrop(const Colours& colours) {
    return std::none_of(colours.begin(), colours.end(), [](COLORREF c) { return c == kBackdrop; });
}

bool AllAreBackdrop(const Colours& colours) {
    return std::all_of(colours.begin(), colours.end(), [](COLORREF c) { return c == kBackdrop; });
}

bool WaitForBackdrop(HDC screen, const std::array<POINT, 5>& points, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!AllAreBackdrop(ReadScreen(screen, points))) {
        if (::GetTickCount64() > end) {
            return false;
        }
        ::Sleep(5);
    }
    return true;
}

// The backdrop: a window of one known colour over the work area (less a pixel at each side, so
// that Wine does not treat it as a full-screen window), shown without activation and disabled,
// so that it is never activated when a program's window goes. Its own thread
// keeps it painted while the main thread polls.
DWORD WINAPI BackdropThread(void* ready) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = ::CreateSolidBrush(kBackdrop);
    windowClass.lpszClassName = L"TesselStartupBackdrop";
    ::RegisterClassExW(&windowClass);
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND window = ::CreateWindowExW(
        WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName, L"startup backdrop",
        WS_POPUP | WS_DISABLED, work.left + 1, work.top + 1, work.right - work.left - 2,
        work.bottom - work.top - 2, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window != nullptr) {
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        ::UpdateWindow(window);
    }
    ::SetEvent(static_cast<HANDLE>(ready));
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    return 0;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleWindowOf(DWORD processId) {
    WindowSearch search{processId, nullptr};
    ::EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The topmost visible top-level window at `point` that is not this program's, and its process.
// The backdrop is left out rather than trusted to be below: under Wine 8 a window created with
// WS_VISIBLE (as the installer's is) stays below the windows that were there before in the
// system's z-order, while the X server shows it on top, so WindowFromPoint would name the backdrop.
HWND TopWindowAt(POINT point, DWORD* processId) {
    for (HWND window = ::GetTopWindow(nullptr); window != nullptr;
         window = ::GetWindow(window, GW_HWNDNEXT)) {
        RECT r = {};
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == ::GetCurrentProcessId() || !::IsWindowVisible(window) ||
            !::GetWindowRect(window, &r) || !::PtInRect(&r, point)) {
            continue;
        }
        *processId = owner;
        return window;
    }
    return nullptr;
}

std::wstring Describe(HWND window) {
    wchar_t className[128] = {};
    wchar_t title[128] = {};
    ::GetClassNameW(window, className, 128);
    ::GetWindowTextW(window, title, 128);
    RECT r = {};
    ::GetWindowRect(window, &r);
    const bool layered = (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    wchar_t text[400];
    std::swprintf(text, 400, L"class \"%ls\", title \"%ls\", %ld,%ld %ldx%ld%ls", className, title,
                  r.left, r.top, r.right - r.left, r.bottom - r.top, layered ? L", layered" : L"");
    return text;
}

// Asks the program to close through its window and waits for its end: it must end with 0.
void CloseProgram(HANDLE process, HWND window, Run& run) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process, 15'000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, 5'000);
        run.ok = false;
        run.error = "did not end on WM_CLOSE";
        return;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    if (code != 0) {
        run.ok = false;
        run.error = "ended with exit code " + std::to_string(code);
    }
}

std::wstring InstallerLogPath() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"TesselAssistantSetup.log";
}

std::string ReadFrom(const std::wstring& path, uint64_t offset) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    LARGE_INTEGER size = {};
    ::GetFileSizeEx(file, &size);
    // A log that started over since is read from its beginning.
    if (static_cast<uint64_t>(size.QuadPart) < offset) {
        offset = 0;
    }
    std::string text(static_cast<size_t>(size.QuadPart - offset), '\0');
    LARGE_INTEGER at = {};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    if (!text.empty() &&
        (!::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
         !::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr))) {
        read = 0;
    }
    ::CloseHandle(file);
    text.resize(read);
    return text;
}

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Waits until the installer's log, past `offset`, tells that the payload was written: true then,
// false when it tells of a failure, the process ends or the time is up.
bool WaitForPayloadWritten(const std::wstring& log, uint64_t offset, HANDLE process,
                           std::string& error) {
    const ULONGLONG deadline = ::GetTickCount64() + kPayloadTimeoutMs;
    for (;;) {
        const std::string added = ReadFrom(log, offset);
        if (added.find(kPayloadWritten) != std::string::npos) {
            return true;
        }
        if (added.find(kPayloadFailed) != std::string::npos) {
            error = "the payload could not be written";
            return false;
        }
        if (::WaitForSingleObject(process, 5) == WAIT_OBJECT_0) {
            error = "ended before its payload was written";
            return false;
        }
        if (::GetTickCount64() > deadline) {
            error = "the payload was not written in time";
            return false;
        }
    }
}

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// A copy of `installer` in `folder` whose "DATA" 18 holds `megabytes` MB of pseudo-random bytes
// (they are never started); empty, with the reason on stderr, when it cannot be made.
std::wstring MakeLargeInstaller(const std::wstring& installer, const std::wstring& folder,
                                unsigned megabytes) {
    const std::wstring copy =
        folder + L"TesselAssistantSetup-" + std::to_wstring(megabytes) + L"MB.exe";
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    if (HMODULE image = ::LoadLibraryExW(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        ::EnumResourceLanguagesW(image, L"DATA", MAKEINTRESOURCEW(18), TakeFirstLanguage,
                                 reinterpret_cast<LONG_PTR>(&language));
        ::FreeLibrary(image);
    }
    std::vector<uint32_t> bytes(static_cast<size_t>(megabytes) * (1 << 20) / sizeof(uint32_t));
    uint32_t state = 0x9E3779B9u + megabytes;
    for (uint32_t& word : bytes) {  // xorshift32
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        word = state;
    }
    HANDLE update = nullptr;
    if (!::CopyFileW(installer.c_str(), copy.c_str(), FALSE) ||
        (update = ::BeginUpdateResourceW(copy.c_str(), FALSE)) == nullptr ||
        !::UpdateResourceW(update, L"DATA", MAKEINTRESOURCEW(18), language, bytes.data(),
                           static_cast<DWORD>(bytes.size() * sizeof(uint32_t))) ||
        !::EndUpdateResourceW(update, FALSE)) {
        std::fprintf(stderr, "startup_bench: a %u MB installer cannot be made, error %lu\n",
                     megabytes, ::GetLastError());
        return {};
    }
    return copy;
}

Run RunOnce(const Program& program, HDC screen) {
    const std::wstring& path = program.path;
    const std::wstring log = InstallerLogPath();
    const uint64_t logOffset = program.installer ? FileSize(log) : 0;
    Run run;
    const RECT expected = ExpectedWindowRect();
    const auto points = ProbePoints(expected);
    // The pointer waits outside the window, as it would after starting the program from elsewhere:
    // left in the middle of the screen it puts the installer's middle button in its hover state
    // a moment after the first frame.
    ::SetCursorPos(0, 0);
    if (!WaitForBackdrop(screen, points, 5'000)) {
        run.error = "the backdrop is not on screen";
        return run;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::wstring commandLine = L"\"" + path + L"\"";

    const LARGE_INTEGER start = tessel::bench::Now();
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        run.error = "CreateProcessW failed, error " + std::to_string(::GetLastError());
        return run;
    }
    auto msSinceStart = [start] {
        return 1000.0 * tessel::bench::ElapsedSeconds(start, tessel::bench::Now());
    };
    Colours seen{};
    for (unsigned rounds = 0;;) {
        seen = ReadScreen(screen, points);
        if (NoneIsBackdrop(seen)) {
            run.firstChangeMs = msSinceStart();
            run.ok = true;
            break;
        }
        // Sleep is a plain wait under Wine; whether the program has ended asks the wine server,
        // so that is looked at only every 100th round.
        ::Sleep(1);
        if (++rounds % 100 == 0) {
            if (::WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
                run.error = "ended before showing a frame";
                break;
            }
            if (msSinceStart() > kFirstFrameTimeoutMs) {
                run.error = "no frame on screen in time";
                break;
            }
        }
    }
    ::CloseHandle(info.hThread);
    if (run.ok) {
        // The first frame is the picture that stays: the screen is watched for another second and
        // the frame counts from its last change. Under Wine an ordinary window can be mapped black
        // a moment before its first WM_PAINT reaches the screen; that is no frame of the program.
        run.firstPicture = seen;
        run.startMs = run.firstChangeMs;
        // The installer's log is looked at meanwhile every 10th round (it may be written long
        // before the second is over).
        bool payloadWritten = false;
        for (unsigned rounds = 0; msSinceStart() - run.firstChangeMs < kSettleMs; ++rounds) {
            ::Sleep(1);
            const Colours now = ReadScreen(screen, points);
            if (now != seen) {
                seen = now;
                run.startMs = msSinceStart();
            }
            if (program.installer && !payloadWritten && rounds % 10 == 0 &&
                ReadFrom(log, logOffset).find(kPayloadWritten) != std::string::npos) {
                payloadWritten = true;
                run.payloadMs = msSinceStart();
            }
        }
        run.firstFrame = seen;
        if (!NoneIsBackdrop(seen)) {
            run.ok = false;
            run.error = "the window did not stay on screen";
        }
        if (run.ok && program.installer && !payloadWritten) {
            run.ok = WaitForPayloadWritten(log, logOffset, info.hProcess, run.error);
            run.payloadMs = msSinceStart();
        }
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (::GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))) {
            run.peakWorkingSetMb = static_cast<double>(counters.PeakWorkingSetSize) / kBytesPerMb;
            run.workingSetMb = static_cast<double>(counters.WorkingSetSize) / kBytesPerMb;
        }
        DWORD owner = 0;
        HWND window = TopWindowAt(points[0], &owner);
        if (window == nullptr || owner != info.dwProcessId) {
            if (run.ok) {
                run.error = "the frame seen is not the started program's window";
            }
            run.ok = false;
            window = VisibleWindowOf(info.dwProcessId);
        } else {
            run.window = Describe(window);
        }
        const LARGE_INTEGER closing = tessel::bench::Now();
        if (window != nullptr) {
            CloseProgram(info.hProcess, window, run);
        }
        run.closeMs = 1000.0 * tessel::bench::ElapsedSeconds(closing, tessel::bench::Now());
    }
    if (::WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0) {
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, 5'000);
    }
    ::CloseHandle(info.hProcess);
    // Back to the known backdrop before the next start.
    if (!WaitForBackdrop(screen, points, 5'000) && run.ok) {
        run.ok = false;
        run.error = "the window stayed on screen after the program ended";
    }
    return run;
}

struct Summary {
    double median;
    double min;
    double max;
};

Summary Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = kDefaultRuns;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-v") {
            verbose = true;
        } else {
            runs = std::max(1, std::atoi(argv[i]));
        }
    }
    const std::wstring folder = BenchFolder();
    std::vector<Program> programs;
    programs.emplace_back(L"empty window (floor)", folder + L"empty_window.exe");
    programs.emplace_back(L"minimal layered window", folder + L"layered_stand_in.exe");
    bool complete = true;
#ifdef TESSEL_INSTALLER_PATH
    const std::wstring installer(TESSEL_INSTALLER_PATH);
    programs.emplace_back(L"TesselAssistantSetup.exe", installer, true);
    const bool scaled = tessel::bench::ScreenScalePercent() != 100;
    for (const unsigned megabytes : kLargePayloadsMb) {
        if (scaled) {
            break;
        }
        const std::wstring large = MakeLargeInstaller(installer, folder, megabytes);
        if (large.empty()) {
            complete = false;
            continue;
        }
        programs.emplace_back(L"the same with a " + std::to_wstring(megabytes) + L" MB payload",
                              large, true, true);
    }
#endif

    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE backdrop = ::CreateThread(nullptr, 0, BackdropThread, ready, 0, nullptr);
    ::WaitForSingleObject(ready, 10'000);
    HDC screen = ::GetDC(nullptr);
    if (!WaitForBackdrop(screen, ProbePoints(ExpectedWindowRect()), 5'000)) {
        std::fprintf(stderr, "startup_bench: the backdrop cannot be read back from the screen\n");
        return 1;
    }

    for (Program& program : programs) {  // warm-up: disk cache, fonts, the wine server's tables
        const Run run = RunOnce(program, screen);
        if (!run.ok) {
            std::fprintf(stderr, "startup_bench: %ls: %s\n", program.label.c_str(),
                         run.error.c_str());
            return 1;
        }
        program.windowSeen = run.window;
    }
    for (int i = 0; i < runs; ++i) {
        for (Program& program : programs) {
            const Run run = RunOnce(program, screen);
            if (!run.ok) {
                ++program.failures;
                std::fprintf(stderr, "startup_bench: %ls, run %d: %s\n", program.label.c_str(),
                             i + 1, run.error.c_str());
                continue;
            }
            if (verbose) {
                std::printf("  run %d %ls: %.1f ms (backdrop first covered at %.1f ms by", i + 1,
                            program.label.c_str(), run.startMs, run.firstChangeMs);
                for (COLORREF c : run.firstPicture) {
                    std::printf(" %06lX", static_cast<unsigned long>(c));
                }
                std::printf("), frame");
                for (COLORREF c : run.firstFrame) {
                    std::printf(" %06lX", static_cast<unsigned long>(c));
                }
                std::printf(", ended %.0f ms after WM_CLOSE\n", run.closeMs);
            }
            program.startMs.push_back(run.startMs);
            program.peakWorkingSetMb.push_back(run.peakWorkingSetMb);
            program.workingSetMb.push_back(run.workingSetMb);
            if (program.installer) {
                program.payloadMs.push_back(run.payloadMs);
            }
            if (run.firstPicture != run.firstFrame) {
                ++program.earlierPicture;
            }
        }
    }
    ::ReleaseDC(nullptr, screen);
    for (const Program& program : programs) {
        if (program.made) {
            ::DeleteFileW(program.path.c_str());
        }
    }

    std::printf(
        "start to first frame on screen: %d runs each, alternating, after one warm-up run "
        "each\n",
        runs);
    for (const Program& program : programs) {
        std::printf("  %ls: %ls\n", program.label.c_str(), program.windowSeen.c_str());
        if (program.startMs.empty()) {
            std::printf("    no run succeeded\n");
            complete = false;
            continue;
        }
        const Summary s = Summarise(program.startMs);
        std::printf("    median %7.1f ms, min %7.1f ms, max %7.1f ms", s.median, s.min, s.max);
        if (program.failures > 0) {
            std::printf(", %d runs failed", program.failures);
            complete = false;
        }
        if (program.earlierPicture > 0) {
            std::printf(", another picture came first in %d runs", program.earlierPicture);
        }
        std::printf("\n");
        if (!program.payloadMs.empty()) {
            const Summary p = Summarise(program.payloadMs);
            std::printf("    payload written: median %7.1f ms, min %7.1f ms, max %7.1f ms\n",
                        p.median, p.min, p.max);
        }
    }
    const double floorMedian =
        programs[0].startMs.empty() ? 0.0 : Summarise(programs[0].startMs).median;
    const double floorPeak =
        programs[0].peakWorkingSetMb.empty() ? 0.0 : Summarise(programs[0].peakWorkingSetMb).median;
    if (floorMedian > 0) {
        for (size_t i = 1; i < programs.size(); ++i) {
            if (!programs[i].startMs.empty()) {
                std::printf("  %ls / floor (medians): %.2f\n", programs[i].label.c_str(),
                            Summarise(programs[i].startMs).median / floorMedian);
            }
        }
    }
#ifdef TESSEL_INSTALLER_PATH
    std::printf("  goal: installer / floor at most 1.3, whatever the size of its payload\n");
#else
    std::printf("  TesselAssistantSetup is not part of this build: no installer figures\n");
#endif

    std::printf(
        "working set %.1f s after the window first showed, for the installers once the payload "
        "is written (medians over the runs)\n",
        kSettleMs / 1000.0);
    for (const Program& program : programs) {
        if (!program.peakWorkingSetMb.empty()) {
            std::printf("  %ls: peak %.1f MB, now %.1f MB\n", program.label.c_str(),
                        Summarise(program.peakWorkingSetMb).median,
                        Summarise(program.workingSetMb).median);
        }
    }
#ifdef TESSEL_INSTALLER_PATH
    std::printf("  goal: installer peak at most the floor's + 4 MB, whatever its payload\n");
#endif

    // The table's lines: each installer against the floor of this run.
    for (size_t i = 1; i < programs.size(); ++i) {
        const Program& program = programs[i];
        if (!program.installer || program.startMs.empty()) {
            continue;
        }
        std::string name(program.label.begin(), program.label.end());
        if (name.starts_with("the same with a ")) {
            name = "Installer with a" + name.substr(std::string("the same with a").size());
        } else {
            name = "Installer";
        }
        if (const int percent = tessel::bench::ScreenScalePercent(); percent != 100) {
            name += " at " + std::to_string(percent) + " %";
        }
        using tessel::bench::PrintResult;
        using tessel::bench::RatioText;
        PrintResult(name + ": start to first frame / floor",
                    RatioText(Summarise(program.startMs).median, floorMedian, "ms"), "at most 1.3");
        const double peak = Summarise(program.peakWorkingSetMb).median;
        char memory[96];
        std::snprintf(memory, sizeof(memory), "%.1f MB (floor %.1f, +%.1f)", peak, floorPeak,
                      peak - floorPeak);
        PrintResult(name + ": peak working set", memory, "at most floor + 4 MB");
        PrintResult(name + ": payload written",
                    tessel::bench::ValueText(Summarise(program.payloadMs).median, "ms"),
                    "after the first frame");
    }
    ::CloseHandle(backdrop);
    ::CloseHandle(ready);
    return complete ? 0 : 1;
}
