// The smallest layered window of the install window's kind: a 730 x 498 borderless popup centred
// on the work area, one per-pixel-alpha frame handed over with UpdateLayeredWindow (a vertical
// gradient with transparent rounded corners), closed by WM_CLOSE. startup_bench starts it to show
// what a layered window costs on its own; it also carries a "DATA" 18 resource so that size_bench
// has something to read when the installer is not part of the build. Not run on its own.
#include <windows.h>

#include <cstdint>

#include "bench/InstallWindowSize.h"

namespace {

const int kWidth = tessel::bench::InstallWindowSize().cx;
const int kHeight = tessel::bench::InstallWindowSize().cy;
constexpr int kCornerRadius = 8;

// Premultiplied BGRA: a blue-grey gradient, alpha 0 outside the rounded corners.
void FillFrame(uint32_t* pixels) {
    for (int y = 0; y < kHeight; ++y) {
        const uint32_t shade = static_cast<uint32_t>(0xF4 - (0xF4 - 0xDD) * y / kHeight);
        const uint32_t colour = 0xFF000000u | (shade << 16) | ((shade + 3) << 8) | 0xFBu;
        for (int x = 0; x < kWidth; ++x) {
            const int cx = x < kCornerRadius             ? kCornerRadius - x
                           : x >= kWidth - kCornerRadius ? x - (kWidth - kCornerRadius - 1)
                                                         : 0;
            const int cy = y < kCornerRadius              ? kCornerRadius - y
                           : y >= kHeight - kCornerRadius ? y - (kHeight - kCornerRadius - 1)
                                                          : 0;
            const bool outside = cx * cx + cy * cy > kCornerRadius * kCornerRadius;
            pixels[y * kWidth + x] = outside ? 0u : colour;
        }
    }
}

bool ShowFrame(HWND window, POINT position) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool shown = false;
    if (bitmap != nullptr) {
        FillFrame(static_cast<uint32_t*>(bits));
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        SIZE size{kWidth, kHeight};
        POINT origin{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        shown = ::UpdateLayeredWindow(window, screen, &position, &size, memory, &origin, 0, &blend,
                                      ULW_ALPHA) != FALSE;
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shown;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"TesselLayeredStandIn";
    if (::RegisterClassExW(&windowClass) == 0) {
        return 1;
    }
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const POINT position{work.left + (work.right - work.left - kWidth) / 2,
                         work.top + (work.bottom - work.top - kHeight) / 2};
    HWND window =
        ::CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW, windowClass.lpszClassName,
                          L"Layered stand-in", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, position.x,
                          position.y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr || !ShowFrame(window, position)) {
        return 1;
    }
    ::ShowWindow(window, SW_SHOW);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
