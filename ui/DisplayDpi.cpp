#include "ui/DisplayDpi.h"

#include "base/SystemLibrary.h"
#include "ui/DisplayScale.h"

namespace tessel {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
// MONITOR_DPI_TYPE is an enum in shellscalingapi.h; MDT_EFFECTIVE_DPI is 0.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

unsigned SystemDpi() noexcept {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        return 96;
    }
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

GetDpiForMonitorFn MonitorDpiFunction() noexcept {
    // shcore.dll stays loaded for the process once a window has asked (Windows 8.1 and later).
    static const UniqueModule shcore = LoadSystemLibrary(L"shcore.dll");
    static const auto function =
        ProcedureAddress<GetDpiForMonitorFn>(shcore.Get(), "GetDpiForMonitor");
    return function;
}

}  // namespace

unsigned MonitorDpi(HMONITOR monitor) noexcept {
    if (monitor != nullptr) {
        if (GetDpiForMonitorFn getDpi = MonitorDpiFunction()) {
            UINT x = 0;
            UINT y = 0;
            // Some systems answer S_OK with 0 for a monitor they do not scale: the system DPI
            // then holds.
            if (SUCCEEDED(getDpi(monitor, kEffectiveDpi, &x, &y)) && x != 0) {
                return x;
            }
        }
    }
    return SystemDpi();
}

unsigned WindowDpi(HWND window) noexcept {
    static const auto getDpiForWindow =
        ProcedureAddress<GetDpiForWindowFn>(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (window != nullptr && getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return dpi;
        }
    }
    return MonitorDpi(window != nullptr ? ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                        : nullptr);
}

int WindowScalePercent(HWND window) noexcept {
    return DisplayScale::PercentForDpi(WindowDpi(window));
}

}  // namespace tessel
