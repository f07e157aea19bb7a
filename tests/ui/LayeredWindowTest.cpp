// A layered window on the virtual display, seen from outside: what the screen shows around and
// on it, and real X input (xdotool) reaching its controls.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/KernelHandles.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/RenderEngine.h"
#include "ui/SurfaceDc.h"

namespace tessel {
namespace {

using testing_support::Filter;
using testing_support::PumpUntil;
using testing_support::TestWindow;

constexpr COLORREF kBackdrop = RGB(0, 200, 0);
// Screen pixels as ScreenShot reads them (0x00RRGGBB).
constexpr uint32_t kBackdropRgb = 0x0000C800;
constexpr uint32_t kBlock = 0x000000FF;
constexpr uint32_t kHotButton = 0x00FFFF00;
constexpr int kX = 100;
constexpr int kY = 100;

// A plain window painted green behind the layered one.
class Backdrop {
public:
    Backdrop() {
        static const ATOM windowClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hbrBackground = ::CreateSolidBrush(kBackdrop);  // lives as long as the class
            wc.lpszClassName = L"TesselTestBackdrop";
            return ::RegisterClassW(&wc);
        }();
        m_window.Reset(::CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(windowClass), L"backdrop",
                                         WS_POPUP | WS_VISIBLE, 40, 40, 520, 420, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr));
        ::UpdateWindow(m_window.Get());
    }
    HWND Get() const { return m_window.Get(); }

private:
    UniqueWindow m_window;
};

// Draws its text with plain GDI on a transparent background, as a native control would.
class GdiTextControl : public CControlUI {
public:
    void PaintText(HDC dc) override {
        ScopedSaveDc saved(dc);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ScopedSelectObject font(dc, ::GetStockObject(SYSTEM_FONT));
        RECT r = ToRECT(GetPos());
        ::DrawTextW(dc, L"TESSEL TESSEL", -1, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
    }
};

// 300 x 200 layered window: a blue block at 50,50..250,150, GDI text at 10,160..290,190, the
// rest transparent; a button in the block's top-left corner.
constexpr wchar_t kLayeredMarkup[] =
    LR"(<Window size="300,200" layered="true">
  <Container name="root">
    <Control name="block" float="true" pos="50,50,250,150" bkcolor="#FF0000FF"/>
    <Button name="button" float="true" pos="60,60,120,90" bkcolor="#FFFF0000"
            hotbkcolor="#FFFFFF00"/>
    <GdiText name="text" float="true" pos="10,160,290,190"/>
  </Container>
</Window>)";

// The screen's pixels in a rectangle, as 0x00RRGGBB.
class ScreenShot {
public:
    ScreenShot(int x, int y, int width, int height) : m_surface(width, height) {
        WindowDc screen(nullptr);
        ::BitBlt(m_surface.dc.Get(), 0, 0, width, height, screen.Get(), x, y, SRCCOPY);
        ::GdiFlush();
    }
    uint32_t Rgb(int x, int y) const { return m_surface.Row(y, x, x + 1)[0] & 0x00FFFFFF; }
    int Count(const UiRect& area, uint32_t rgb) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                n += Rgb(x, y) == rgb ? 1 : 0;
            }
        }
        return n;
    }
    // Writes a 32-bit BMP for people to look at.
    void Save(const char* path) const {
        const int w = m_surface.dib.width;
        const int h = m_surface.dib.height;
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        info.biSize = sizeof(info);
        info.biWidth = w;
        info.biHeight = -h;
        info.biPlanes = 1;
        info.biBitCount = 32;
        const DWORD bytes = static_cast<DWORD>(w) * h * 4;
        // The screen leaves alpha at 0; viewers would show that as transparent.
        std::vector<uint32_t> opaque(m_surface.dib.pixels, m_surface.dib.pixels + w * h);
        for (uint32_t& p : opaque) {
            p |= 0xFF000000u;
        }
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info);
        file.bfSize = file.bfOffBits + bytes;
        if (FILE* f = std::fopen(path, "wb")) {
            std::fwrite(&file, sizeof(file), 1, f);
            std::fwrite(&info, sizeof(info), 1, f);
            std::fwrite(opaque.data(), bytes, 1, f);
            std::fclose(f);
        }
    }

private:
    SurfaceDc m_surface;
};

class LayeredWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.customControls = [](std::wstring_view name) -> CControlUI* {
            return name == L"GdiText" ? new GdiTextControl : nullptr;
        };
        // Away from the window: an earlier run may have left the cursor on the button.
        ::SetCursorPos(5, 5);
        ASSERT_TRUE(window.Open(kX, kY, 300, 200));
        ASSERT_TRUE(window.GetPaintManager().IsLayered());
        ASSERT_TRUE(PumpUntil([&] {
            return (::GetWindowLongPtrW(window.GetHWND(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        }));
        // The display shows the frame a little after the window handed it over.
        ASSERT_TRUE(PumpUntil([&] {
            const ScreenShot shot(kX, kY, 300, 200);
            return shot.Rgb(200, 100) == kBlock && shot.Rgb(10, 10) == kBackdropRgb;
        })) << "the layered frame never showed on the backdrop";
    }

    Backdrop backdrop;
    TestWindow window{kLayeredMarkup};
};

TEST_F(LayeredWindowTest, TransparentPixelsShowWhatIsBehindAndGdiTextIsOpaque) {
    const ScreenShot shot(kX, kY, 300, 200);
    shot.Save("layered_window.bmp");
    const uint32_t green = kBackdropRgb;
    EXPECT_EQ(shot.Rgb(10, 10), green) << "outside the opaque area the backdrop shows";
    EXPECT_EQ(shot.Rgb(290, 140), green);
    EXPECT_EQ(shot.Rgb(200, 100), kBlock) << "the block";
    EXPECT_EQ(shot.Rgb(80, 70), 0x00FF0000u) << "the button on the block";
    // The text's strokes replace the backdrop with white.
    EXPECT_GT(shot.Count({10, 160, 290, 190}, 0x00FFFFFF), 40);
    EXPECT_GT(shot.Count({10, 160, 290, 190}, green), 1000) << "between the strokes";
}

// Starts a Linux program (Wine starts native executables given by their Z: path). Its process
// handle never reports the end of a native program, so callers wait for its effect instead.
bool StartLinux(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = commandLine;
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return false;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    return true;
}

TEST_F(LayeredWindowTest, RealMouseInputHoversAndClicksTheButton) {
    window.Watch(L"button");
    window.log.clear();
    const POINT target = window.ToScreen(90, 75);
    const std::wstring xdotool = L"Z:\\usr\\bin\\xdotool ";
    ASSERT_TRUE(StartLinux(xdotool + L"mousemove " + std::to_wstring(target.x) + L" " +
                           std::to_wstring(target.y)))
        << "xdotool could not be started";
    ASSERT_TRUE(PumpUntil([&] { return !Filter(window.log, L"button:mouseenter").empty(); }))
        << "the pointer moved onto the button, but the button never heard of it";
    ASSERT_TRUE(StartLinux(xdotool + L"click 1")) << "xdotool could not be started";
    ASSERT_TRUE(PumpUntil([&] { return !Filter(window.log, L"notify:click").empty(); }))
        << "the click on the button was never reported";
    const auto button = Filter(window.log, L"button:");
    ASSERT_GE(button.size(), 3u);
    EXPECT_EQ(button.front(), L"button:mouseenter");
    EXPECT_NE(std::find(button.begin(), button.end(), L"button:buttondown"), button.end());
    EXPECT_EQ(Filter(window.log, L"notify:click"),
              std::vector<std::wstring>{L"notify:click:button"});
    // The hot colour reaches the screen after the hover.
    EXPECT_TRUE(PumpUntil([&] { return ScreenShot(kX, kY, 300, 200).Rgb(70, 65) == kHotButton; }))
        << "the button's hot colour never showed on the screen";
}

}  // namespace
}  // namespace tessel
