#pragma once

#include <windows.h>

namespace tessel {

// The DPI Windows gives a window or a monitor, as a per-monitor aware program sees it. Every call
// that is newer than Windows 7 is looked up at run time, so each system answers with the best call
// it has: GetDpiForWindow (Windows 10 1607), GetDpiForMonitor (Windows 8.1), and the system DPI of
// the screen's device context before them (what a system-aware program is drawn at).

// The DPI of `window`'s monitor, as Windows last told the window (WM_DPICHANGED follows a change).
unsigned WindowDpi(HWND window) noexcept;
// The effective DPI of `monitor`.
unsigned MonitorDpi(HMONITOR monitor) noexcept;
// The display scale percent of `window` (DisplayScale::PercentForDpi of WindowDpi).
int WindowScalePercent(HWND window) noexcept;

}  // namespace tessel
