// Layered window repaint benchmark.
//
// A 730 x 498 layered skinned window (gradient background, texts, buttons, a progress bar, like
// the install window) on the virtual display:
// 1. Hover: time from a WM_MOUSEMOVE onto a button to its hot frame being on screen, that is
//    until UpdateLayeredWindow has returned (the move is sent, then the window is painted at
//    once). The mouse goes back off the button between samples (not timed).
// 2. Full frame: the same window invalidated as a whole and painted, for comparison.
// 3. One pixel: the fixed cost of any frame (paint cycle and handing the frame to the system).
// 4. The system alone: UpdateLayeredWindowIndirect of a ready 730 x 498 surface with a one-pixel
//    dirty rectangle, on a second layered window, without any of our code: the floor of every
//    repaint. Under Wine this is most of a hover repaint: its layered-window update copies the
//    whole surface, twice, whatever the dirty rectangle (Windows composes the dirty part only).
// Medians and 90th percentiles over kSamples each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchResult.h"
#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/WindowImplBase.h"

using namespace tessel;

namespace {

constexpr int kSamples = 300;
constexpr int kWidth = 730;
constexpr int kHeight = 498;

// The button sits at 300,380..430,420.
constexpr wchar_t kMarkup[] =
    LR"(<Window size="730,498" layered="true" caption="0,0,0,40">
  <VerticalLayout name="root" bkcolor="#FFF4F7FB" bkcolor2="#FFDDE6F2">
    <HorizontalLayout height="40" bkcolor="#FF2B5C9E">
      <Label name="title" text="Tessel Assistant Setup" textcolor="#FFFFFFFF" width="300"
             textpadding="12,0,0,0"/>
      <Control/>
      <Button name="closebtn" width="40" bkcolor="#FF2B5C9E" hotbkcolor="#FFE04343" text="X"
              textcolor="#FFFFFFFF"/>
    </HorizontalLayout>
    <Label height="60" text="Install folder" textpadding="40,20,0,0"/>
    <Edit name="folder" height="32" padding="40,0,40,0" bkcolor="#FFFFFFFF"
          text="C:\Program Files\Tessel Assistant"/>
    <Label height="40" text="Desktop shortcut, start with Windows" textpadding="40,10,0,0"/>
    <Progress name="progress" height="12" padding="40,20,40,0" bkcolor="#FFCCCCCC"
              forecolor="#FF2B5C9E" value="40"/>
    <Text height="120" text="By installing you agree to the user agreement." textpadding="40,30,40,0"/>
    <HorizontalLayout height="40">
      <Control width="300"/>
      <Button name="install" width="130" bkcolor="#FF2B5C9E" hotbkcolor="#FF3C74C2"
              pushedbkcolor="#FF1E4275" text="Install now" textcolor="#FFFFFFFF"/>
      <Control/>
    </HorizontalLayout>
    <Control/>
  </VerticalLayout>
</Window>)";

class BenchWindow : public WindowImplBase {
protected:
    const wchar_t* WindowClassName() const override { return L"TesselBenchWindow"; }
    std::wstring SkinFileName() const override { return kMarkup; }
};

double Ms(LONGLONG ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return 1000.0 * static_cast<double>(ticks) / frequency;
}

LONGLONG Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!CPaintManagerUI::TranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

// Medians of UpdateLayeredWindowIndirect with a one-pixel dirty rectangle on a plain layered
// window of the bench's size, painted once.
std::vector<double> SystemOnePixelUpdates(int samples) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TesselBenchSystemLayered";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, windowClass.lpszClassName,
                                    L"system layered", WS_POPUP, 100, 100, kWidth, kHeight, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    std::vector<double> times;
    if (window == nullptr) {
        return times;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    std::fill_n(static_cast<uint32_t*>(bits), kWidth * kHeight, 0xFFF4F7FBu);
    POINT destination{100, 100};
    SIZE size{kWidth, kHeight};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(window, nullptr, &destination, &size, dc, &source, 0, &blend, ULW_ALPHA);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    const RECT dirty{700, 480, 701, 481};
    UPDATELAYEREDWINDOWINFO update{};
    update.cbSize = sizeof(update);
    update.pptDst = &destination;
    update.psize = &size;
    update.hdcSrc = dc;
    update.pptSrc = &source;
    update.pblend = &blend;
    update.dwFlags = ULW_ALPHA;
    update.prcDirty = &dirty;
    for (int i = 0; i < samples + 10; ++i) {
        const LONGLONG start = Now();
        ::UpdateLayeredWindowIndirect(window, &update);
        if (i >= 10) {
            times.push_back(Ms(Now() - start));
        }
        Pump();
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::DestroyWindow(window);
    return times;
}

struct Figures {
    double median;
    double p90;
};

Figures Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

}  // namespace

int main() {
    // First, with no other window of ours on the screen.
    const std::vector<double> system = SystemOnePixelUpdates(kSamples);
    if (system.empty()) {
        std::fprintf(stderr, "the plain layered window was not created\n");
        return 1;
    }
    BenchWindow window;
    if (window.Create(nullptr, L"layered bench", WS_POPUP, WS_EX_TOOLWINDOW, 100, 100, kWidth,
                      kHeight) == nullptr) {
        std::fprintf(stderr, "window not created\n");
        return 1;
    }
    const HWND hwnd = window.GetHWND();
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
    Pump();
    CControlUI* button = window.GetPaintManager().FindControl(L"install");
    if (button == nullptr || !window.GetPaintManager().IsLayered()) {
        std::fprintf(stderr, "skin not built as expected\n");
        return 1;
    }
    const UiRect r = button->GetPos();
    const LPARAM onButton = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const LPARAM offButton = MAKELPARAM(20, 470);
    // The real cursor follows, so the system's leave tracking agrees with the moves.
    POINT screenOn{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(hwnd, &screenOn);
    POINT screenOff{20, 470};
    ::ClientToScreen(hwnd, &screenOff);

    std::vector<double> hover;
    std::vector<double> full;
    for (int i = 0; i < kSamples + 10; ++i) {
        ::SetCursorPos(screenOn.x, screenOn.y);
        const LONGLONG start = Now();
        ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, onButton);
        ::UpdateWindow(hwnd);
        const LONGLONG end = Now();
        if (i >= 10) {  // the first frames warm caches and fonts
            hover.push_back(Ms(end - start));
        }
        Pump();
        ::SetCursorPos(screenOff.x, screenOff.y);
        ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, offButton);
        ::UpdateWindow(hwnd);
        Pump();

        const LONGLONG fullStart = Now();
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        const LONGLONG fullEnd = Now();
        if (i >= 10) {
            full.push_back(Ms(fullEnd - fullStart));
        }
        Pump();
    }
    std::vector<double> onePixel;
    for (int i = 0; i < kSamples; ++i) {
        const RECT pixel{700, 480, 701, 481};
        const LONGLONG start = Now();
        ::InvalidateRect(hwnd, &pixel, FALSE);
        ::UpdateWindow(hwnd);
        onePixel.push_back(Ms(Now() - start));
        Pump();
    }
    const Figures h = Summarise(hover);
    const Figures s = Summarise(system);
    const Figures p = Summarise(onePixel);
    const Figures f = Summarise(full);
    std::printf("layered %dx%d, %d samples each\n", kWidth, kHeight, kSamples);
    std::printf("  move onto button -> hot frame on screen: median %.3f ms, p90 %.3f ms\n",
                h.median, h.p90);
    std::printf("  full-frame repaint:                      median %.3f ms, p90 %.3f ms\n",
                f.median, f.p90);
    std::printf("  one-pixel repaint:                       median %.3f ms, p90 %.3f ms\n",
                p.median, p.p90);
    std::printf("  the system alone, one dirty pixel:       median %.3f ms, p90 %.3f ms\n",
                s.median, s.p90);
    std::printf("  hover repaint / full repaint (medians):  %.2f\n", h.median / f.median);
    if (h.median > s.median && f.median > s.median) {
        std::printf("  the same, the system's share taken out of both: %.2f\n",
                    (h.median - s.median) / (f.median - s.median));
    }
    std::printf("  goal: hover / full at most 0.3\n");
    char ratio[128];
    std::snprintf(ratio, sizeof(ratio), "%.2f / %.2f ms = %.2f (system alone %.2f ms)", h.median,
                  f.median, h.median / f.median, s.median);
    tessel::bench::PrintResult("Hover repaint / full repaint", ratio, "at most 0.3");
    ::DestroyWindow(hwnd);
    return 0;
}
