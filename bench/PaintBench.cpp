// Build, layout and paint of the install window's first page, against one full-surface AlphaBlend
// of its background image measured in the same run. Goal: a full frame within 10 such passes.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "ui/ControlUI.h"
#include "ui/GdiHandles.h"
#include "ui/MarkupBuilder.h"
#include "ui/PaintManagerUI.h"
#include "ui/PixelOps.h"
#include "ui/ResourceLocation.h"

using namespace tessel;

namespace {

constexpr int kWidth = 730;
constexpr int kHeight = 498;

double MedianMicroseconds(int runs, const std::function<void()>& body) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        body();
        ::GdiFlush();
        samples.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The layered window's frame: clear, paint the tree, make GDI-drawn pixels opaque.
void PaintFrame(CControlUI* root, DibSection& surface, HDC dc, const UiRect& area) {
    for (int y = area.top; y < area.bottom; ++y) {
        std::fill_n(surface.pixels + static_cast<size_t>(y) * kWidth + area.left, area.Width(), 0u);
    }
    root->Paint(dc, area, nullptr);
    ::GdiFlush();
    for (int y = area.top; y < area.bottom; ++y) {
        MakeGdiPixelsOpaque(std::span<uint32_t>(
            surface.pixels + static_cast<size_t>(y) * kWidth + area.left, area.Width()));
    }
}

}  // namespace

int main() {
    SetResourceFolder(L"Z:" TESSEL_SKIN_PACKAGE_DIR L"/");

    DibSection surface = CreateDibSection(kWidth, kHeight);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelectObject select(dc.Get(), surface.bitmap.Get());

    const double buildUs = MedianMicroseconds(20, [] {
        CPaintManagerUI manager;
        CMarkupBuilder builder;
        manager.AttachRoot(builder.Create(L"WndInstall.xml", L"", nullptr, &manager));
    });

    CPaintManagerUI manager;
    manager.SetLayered(true);
    CMarkupBuilder builder;
    CControlUI* root = builder.Create(L"WndInstall.xml", L"", nullptr, &manager);
    if (root == nullptr) {
        std::printf("paint_bench: WndInstall.xml did not build\n");
        return 1;
    }
    manager.AttachRoot(root);
    const UiRect full{0, 0, kWidth, kHeight};
    const double layoutUs = MedianMicroseconds(50, [&] { root->SetPos(full, false); });

    PaintFrame(root, surface, dc.Get(), full);  // images decode on first use
    const double fullUs =
        MedianMicroseconds(50, [&] { PaintFrame(root, surface, dc.Get(), full); });

    CControlUI* button = manager.FindControl(L"btn_Install");
    bool hot = false;
    const double incrementalUs = MedianMicroseconds(200, [&] {
        EventRecord event;
        event.kind = hot ? EVT_MOUSELEAVE : EVT_MOUSEENTER;
        event.sender = button;
        button->Event(event);
        hot = !hot;
        PaintFrame(root, surface, dc.Get(), button->GetPos());
    });

    const ImageRecord* background = manager.GetImage(L"WndInstall\\bk.png");
    double blendUs = 0;
    if (background != nullptr) {
        UniqueMemoryDc imageDc(::CreateCompatibleDC(nullptr));
        ScopedSelectObject selectImage(imageDc.Get(), background->Bitmap());
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        blendUs = MedianMicroseconds(50, [&] {
            ::AlphaBlend(dc.Get(), 0, 0, kWidth, kHeight, imageDc.Get(), 0, 0, background->Width(),
                         background->Height(), blend);
        });
    }

    std::printf("paint_bench (730 x 498 install window, page 0, layered)\n");
    std::printf("  build (markup, includes, controls)   %10.1f us\n", buildUs);
    std::printf("  layout (whole tree)                  %10.1f us\n", layoutUs);
    std::printf("  full frame                           %10.1f us\n", fullUs);
    std::printf("  incremental frame (button turns hot) %10.1f us\n", incrementalUs);
    std::printf("  one full-surface AlphaBlend          %10.1f us\n", blendUs);
    if (blendUs > 0) {
        std::printf("  full frame / AlphaBlend pass         %10.2f (goal <= 10)\n",
                    fullUs / blendUs);
    }
    return 0;
}
