// Layered window repaint benchmark.
//
// A 730 x 498 layered skinned window (gradient background, texts, buttons, a progress bar, like
// the install window) on the virtual display:
// 1. Hover: time from a WM_MOUSEMOVE onto a button to its hot frame being on screen, that is
//    until UpdateLayeredWindow has returned (the move is sent, then the window is painted at
//    once). The mouse goes back off the button between samples (not timed).
// 2. Full frame: the same window invalidated as a whole and painted, for comparison.
// 3. One pixel: the fixed cost of any frame (paint cycle and handing the frame to the system).
// Medians and 90th percentiles over kSamples each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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
    const Figures p = Summarise(onePixel);
    const Figures f = Summarise(full);
    std::printf("layered %dx%d, %d samples each\n", kWidth, kHeight, kSamples);
    std::printf("  move onto button -> hot frame on screen: median %.3f ms, p90 %.3f ms\n",
                h.median, h.p90);
    std::printf("  full-frame repaint:                      median %.3f ms, p90 %.3f ms\n",
                f.median, f.p90);
    std::printf("  one-pixel repaint:                       median %.3f ms, p90 %.3f ms\n",
                p.median, p.p90);
    std::printf("  hover repaint / full repaint (medians):  %.2f\n", h.median / f.median);
    ::DestroyWindow(hwnd);
    return 0;
}
