// The product's start program: a small window titled "Tessel Assistant" that stays until it is
// closed. A second start brings the first window to the front and ends.
#include <windows.h>

#include "base/KernelHandles.h"
#include "base/SafeDllSearch.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TesselAssistantLauncher";
constexpr wchar_t kTitle[] = L"Tessel Assistant";
constexpr wchar_t kSingleInstanceMutex[] = L"Local\\TesselAssistantLauncher";
constexpr wchar_t kGreeting[] = L"Tessel Assistant is running.";
constexpr int kWidth = 360;
constexpr int kHeight = 160;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint = {};
            HDC dc = ::BeginPaint(window, &paint);
            RECT client = {};
            ::GetClientRect(window, &client);
            ::DrawTextW(dc, kGreeting, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
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

void BringFirstToFront() {
    HWND first = ::FindWindowW(kWindowClass, nullptr);
    if (first == nullptr) {
        return;
    }
    if (::IsIconic(first)) {
        ::ShowWindow(first, SW_RESTORE);
    }
    ::SetForegroundWindow(first);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    tessel::RestrictDllSearchToSystem();
    tessel::UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, kSingleInstanceMutex));
    if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        BringFirstToFront();
        return 0;
    }

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&windowClass)) {
        return 1;
    }
    HWND window =
        ::CreateWindowExW(0, kWindowClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ::ShowWindow(window, show);
    ::UpdateWindow(window);

    MSG message = {};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
