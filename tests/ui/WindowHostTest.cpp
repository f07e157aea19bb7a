// The window host: frame decisions, caption dragging, the window region, the modal loop, the
// default keys and the system buttons.
#include <gtest/gtest.h>

#include "tests/ui/WindowTestSupport.h"
#include "ui/WindowGeometry.h"

namespace tessel {
namespace {

using testing_support::PumpMessages;
using testing_support::PumpUntil;
using testing_support::TestWindow;

struct FrameCase {
    const char* label;
    UiPoint point;
    bool maximized;
    FrameHit expected;
};

TEST(WindowGeometryTest, FramePointsFallOnBordersThenTheCaptionBand) {
    const UiRect client{0, 0, 400, 300};
    const UiRect sizeBox{4, 4, 4, 4};
    const UiRect caption{0, 0, 30, 40};
    const FrameCase cases[] = {
        {"top-left corner", {1, 1}, false, FrameHit::TopLeft},
        {"top-right corner", {398, 2}, false, FrameHit::TopRight},
        {"top edge", {100, 0}, false, FrameHit::Top},
        {"bottom-left", {0, 299}, false, FrameHit::BottomLeft},
        {"bottom-right", {399, 299}, false, FrameHit::BottomRight},
        {"bottom edge", {200, 298}, false, FrameHit::Bottom},
        {"left edge", {0, 150}, false, FrameHit::Left},
        {"right edge", {397, 150}, false, FrameHit::Right},
        {"caption band", {100, 20}, false, FrameHit::Caption},
        {"right of the band's right inset", {380, 20}, false, FrameHit::Client},
        {"below the band", {100, 40}, false, FrameHit::Client},
        {"maximised has no borders", {0, 1}, true, FrameHit::Caption},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ClassifyFramePoint(c.point, client, sizeBox, caption, c.maximized), c.expected);
    }
    // A caption bottom of -1 reaches the client bottom; no size box leaves no borders.
    EXPECT_EQ(ClassifyFramePoint({0, 297}, client, {}, {0, 0, 0, -1}, false), FrameHit::Caption);
}

TEST(WindowGeometryTest, CentredWindowsStayInsideTheWorkArea) {
    const UiRect work{0, 0, 1280, 800};
    EXPECT_EQ(CenteredPosition({400, 300}, work, work), (UiPoint{440, 250}));
    EXPECT_EQ(CenteredPosition({400, 300}, {-100, -100, 100, 100}, work), (UiPoint{0, 0}));
    EXPECT_EQ(CenteredPosition({400, 300}, {1200, 700, 1400, 900}, work), (UiPoint{880, 500}));
    // Larger than the work area: the top-left (and the caption) stays on screen.
    EXPECT_EQ(CenteredPosition({2000, 1000}, work, work), (UiPoint{0, 0}));
}

// Caption band over the whole window, a size box, every kind of control in the band.
// Row 1 (y 0..40): label 0..100, button 100..160, edit 160..260, option 260..320, layout rest.
// Row 2 (y 40..80): a plain control 0..100 inside a layout with mouse="false" children.
constexpr wchar_t kCaptionMarkup[] =
    LR"(<Window size="400,300" caption="0,0,0,-1" sizebox="4,4,4,4"
        roundcorner="0,0" mininfo="200,100">
  <VerticalLayout name="root">
    <HorizontalLayout name="row1" height="40">
      <Label name="label" width="100" text="Drag"/>
      <Button name="button" width="60"/>
      <Edit name="edit" width="100"/>
      <Option name="option" width="60"/>
    </HorizontalLayout>
    <HorizontalLayout name="row2" height="40">
      <Control name="plain" width="100"/>
      <CheckBox name="check" width="60"/>
      <Text name="text" width="100" text="t"/>
    </HorizontalLayout>
    <HorizontalLayout name="row3" height="40">
      <Button name="closebtn" width="40"/>
      <Button name="minbtn" width="40"/>
      <Button name="maxbtn" width="40"/>
      <Button name="restorebtn" width="40" visible="false"/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

TEST(WindowHostTest, StaticControlsInTheCaptionDragAndInteractiveOnesDoNot) {
    TestWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    struct Probe {
        const char* what;
        int x, y;
        LRESULT expected;
    };
    const Probe probes[] = {
        {"label", 50, 20, HTCAPTION},
        {"layout behind", 350, 20, HTCAPTION},
        {"plain control", 50, 60, HTCAPTION},
        {"text", 200, 60, HTCAPTION},
        {"empty root area", 200, 200, HTCAPTION},
        {"button", 130, 20, HTCLIENT},
        {"edit", 200, 20, HTCLIENT},
        {"option", 290, 20, HTCLIENT},
        {"check box", 130, 60, HTCLIENT},
        {"sizing corner", 1, 1, HTTOPLEFT},
        {"right border", 398, 150, HTRIGHT},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(window.HitTest(p.x, p.y), p.expected);
    }
    // A double click on the caption leaves the size alone.
    ::SendMessageW(window.GetHWND(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    PumpMessages();
    EXPECT_FALSE(::IsZoomed(window.GetHWND()));
}

TEST(WindowHostTest, WindowGetsARegionTheSizeOfTheWindowAndItsTrackingLimits) {
    TestWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(window.GetHWND(), region.Get()), ERROR);
    RECT box{};
    ::GetRgnBox(region.Get(), &box);
    RECT windowRect{};
    ::GetWindowRect(window.GetHWND(), &windowRect);
    EXPECT_EQ(box.right - box.left, windowRect.right - windowRect.left);
    EXPECT_EQ(box.bottom - box.top, windowRect.bottom - windowRect.top);

    MINMAXINFO info{};
    ::SendMessageW(window.GetHWND(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 100);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_EQ(info.ptMaxTrackSize.x, monitor.rcWork.right - monitor.rcWork.left);
    EXPECT_EQ(info.ptMaxSize.y, monitor.rcWork.bottom - monitor.rcWork.top);
}

TEST(WindowHostTest, ResizeClientKeepsAnUnchangedSideAndCenteringUsesTheWorkArea) {
    TestWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open(10, 10));
    window.ResizeClient(500, -1);
    RECT client{};
    ::GetClientRect(window.GetHWND(), &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 300);

    window.CenterWindow();
    RECT placed{};
    ::GetWindowRect(window.GetHWND(), &placed);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_EQ(placed.left, (work.left + work.right) / 2 - 250);
    EXPECT_EQ(placed.top, (work.top + work.bottom) / 2 - 150);
}

TEST(WindowHostTest, ShowModalReturnsTheCloseResultAndFreesTheOwner) {
    TestWindow owner(kCaptionMarkup);
    ASSERT_TRUE(owner.Open(50, 50));
    TestWindow dialog(kCaptionMarkup);
    ASSERT_TRUE(dialog.Create(owner.GetHWND(), L"dialog", WS_POPUP, WS_EX_TOOLWINDOW, 120, 120, 400,
                              300) != nullptr);
    bool ownerDisabledMeanwhile = false;
    dialog.onNotify = [&](NotifyRecord& n) {
        if (n.type == L"timer") {
            ownerDisabledMeanwhile = !::IsWindowEnabled(owner.GetHWND());
            dialog.GetPaintManager().KillTimer(n.sender);
            // Escape and Return reach the window but do not close it.
            ::PostMessageW(dialog.GetHWND(), WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(dialog.GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
            dialog.Close(7);
        }
    };
    dialog.GetPaintManager().SetTimer(dialog.Find(L"label"), 1, 20);
    EXPECT_EQ(dialog.ShowModal(), 7u);
    EXPECT_TRUE(ownerDisabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
    EXPECT_FALSE(::IsWindow(dialog.GetHWND()));
    EXPECT_EQ(dialog.destroyedCount, 1);
}

TEST(WindowHostTest, EscapeDoesNotCloseAndTheCloseButtonClosesWithOne) {
    TestWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    window.PostKey(VK_ESCAPE);
    EXPECT_TRUE(::IsWindow(window.GetHWND()));

    bool clicked = false;
    window.onNotify = [&](NotifyRecord& n) {
        if (!clicked && n.type == L"windowsize") {
            clicked = true;
            window.Click(20, 100);  // closebtn
        }
    };
    ::InvalidateRect(window.GetHWND(), nullptr, FALSE);
    window.GetPaintManager().RequestLayout();
    EXPECT_EQ(window.ShowModal(), 1u);
}

TEST(WindowHostTest, MaximiseAndRestoreButtonsSwapVisibility) {
    TestWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    window.Click(100, 100);  // maxbtn
    ASSERT_TRUE(PumpUntil([&] { return ::IsZoomed(window.GetHWND()) != FALSE; }))
        << "the maximise button did not maximise the window";
    EXPECT_FALSE(window.Find(L"maxbtn")->IsVisible());
    EXPECT_TRUE(window.Find(L"restorebtn")->IsVisible());
    ::SendMessageW(window.GetHWND(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsZoomed(window.GetHWND()); }))
        << "the window stayed maximised after the restore command";
    EXPECT_TRUE(window.Find(L"maxbtn")->IsVisible());
    EXPECT_FALSE(window.Find(L"restorebtn")->IsVisible());
}

}  // namespace
}  // namespace tessel
