#pragma once

#include <windows.h>

namespace tessel::bench {

// The screen's display scale in percent (96 DPI = 100 %), rounded as the framework rounds it.
inline int ScreenScalePercent() {
    static const int percent = [] {
        HDC screen = ::GetDC(nullptr);
        const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
        if (screen != nullptr) {
            ::ReleaseDC(nullptr, screen);
        }
        return dpi > 96 ? (dpi * 100 + 48) / 96 : 100;
    }();
    return percent;
}

// The install window's size at the screen's scale: 730 x 498 at 100 %, 1095 x 747 at 150 %. The
// startup benchmark's floor and stand-in open windows of the same size as the installer.
inline SIZE InstallWindowSize() {
    const int percent = ScreenScalePercent();
    return SIZE{(730 * percent + 50) / 100, (498 * percent + 50) / 100};
}

}  // namespace tessel::bench
