// The floor of startup_bench: the least a Win32 program does to show a window of the install
// window's size. It registers a class, creates an ordinary 730 x 498 window centred on the work
// area, fills it with one colour in WM_PAINT and ends on WM_CLOSE. Started by startup_bench, not
// run on its own.
#include <windows.h>

#include "bench/InstallWindowSize.h"

namespace {

const int kWidth = tessel::bench::InstallWindowSize().cx;
const int kHeight = tessel::bench::InstallWindowSize().cy;
constexpr COLORREF kFill = RGB(0x2B, 0x5C, 0x9E);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers the whole client area
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            HBRUSH brush = ::CreateSolidBrush(kFill);
            ::FillRect(dc, &paint.rcPaint, brush);
            ::DeleteObject(brush);
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"TesselEmptyWindow";
    if (::RegisterClassExW(&windowClass) == 0) {
        return 1;
    }
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - kWidth) / 2;
    const int y = work.top + (work.bottom - work.top - kHeight) / 2;
    HWND window =
        ::CreateWindowExW(0, windowClass.lpszClassName, L"Empty window", WS_OVERLAPPEDWINDOW, x, y,
                          kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ::ShowWindow(window, show);
    ::UpdateWindow(window);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
