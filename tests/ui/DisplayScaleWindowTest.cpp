// A skinned window moved between monitors of different scales, as WM_DPICHANGED tells it: it takes
// the rectangle Windows proposes, and its tree, fonts and images follow the new scale.
#include <gtest/gtest.h>

#include "tests/ui/WindowTestSupport.h"
#include "ui/DisplayDpi.h"
#include "ui/LabelUI.h"

namespace tessel {
namespace {

using testing_support::PumpUntil;
using testing_support::TestWindow;

constexpr wchar_t kMarkup[] =
    LR"(<Window size="200,100" roundcorner="10,10">
  <Font id="0" size="14" default="true"/>
  <Font id="1" size="20"/>
  <VerticalLayout name="root" inset="4,4,4,4">
    <Label name="title" height="30" font="1" text="Title" padding="10,6,0,0" width="120"/>
    <HorizontalLayout name="row" childpadding="8">
      <Label name="auto" autocalcwidth="true" text="Auto width"/>
      <Control name="plain" width="40"/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

// Sends WM_DPICHANGED as Windows does when the window crosses to a monitor of `dpi`, proposing
// the window's rectangle scaled about its top-left.
void MoveToDpi(TestWindow& window, unsigned dpi, const RECT& proposed) {
    ::SendMessageW(window.GetHWND(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&proposed));
}

UiRect WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return FromRECT(r);
}

TEST(DisplayScaleWindowTest, AWindowTakesItsMonitorsScaleWhenItIsMade) {
    TestWindow window(kMarkup);
    ASSERT_TRUE(window.Open(50, 50, 10, 10));
    CPaintManagerUI& pm = window.GetPaintManager();
    EXPECT_EQ(pm.GetDisplayScale().Percent(), WindowScalePercent(window.GetHWND()));
    const UiRect rect = WindowRect(window.GetHWND());
    EXPECT_EQ(rect.Width(), pm.Scale(200)) << "the markup's size at the monitor's scale";
    EXPECT_EQ(rect.Height(), pm.Scale(100));
}

TEST(DisplayScaleWindowTest, DpiChangeMovesResizesAndLaysTheTreeOutAgain) {
    TestWindow window(kMarkup);
    ASSERT_TRUE(window.Open(50, 50, 10, 10));
    CPaintManagerUI& pm = window.GetPaintManager();
    // Whatever the test display's own scale, start from 100 %.
    MoveToDpi(window, 96, RECT{50, 50, 250, 150});
    ASSERT_TRUE(PumpUntil([&] { return window.Find(L"title")->GetPos().Width() == 120; }))
        << "the tree at 100 %";
    const int titleFontHeight = pm.LookUpFont(1).metrics.tmHeight;
    const int autoWidth = window.Find(L"auto")->GetPos().Width();
    ASSERT_GT(autoWidth, 20);

    MoveToDpi(window, 144, RECT{40, 60, 340, 210});
    EXPECT_EQ(pm.GetDisplayScale().Percent(), 150);
    EXPECT_EQ(WindowRect(window.GetHWND()), (UiRect{40, 60, 340, 210})) << "the proposed place";
    CControlUI* title = window.Find(L"title");
    ASSERT_TRUE(PumpUntil([&] { return title->GetPos().Width() == 180; }))
        << "laid out again at 150 %: title is " << title->GetPos().Width() << " wide";
    // Inset 4 and padding 10,6 are 6 and 15,9 now.
    EXPECT_EQ(title->GetPos(), (UiRect{21, 15, 201, 60}));
    EXPECT_EQ(window.Find(L"plain")->GetPos().Width(), 60);
    EXPECT_GT(pm.LookUpFont(1).metrics.tmHeight, titleFontHeight * 4 / 3) << "fonts made again";
    EXPECT_GT(window.Find(L"auto")->GetPos().Width(), autoWidth * 4 / 3)
        << "text measured again in the larger font";

    // The round corners follow: the window region is the new size's.
    UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(window.GetHWND(), region.Get()), ERROR);
    RECT box{};
    ::GetRgnBox(region.Get(), &box);
    EXPECT_EQ(box.right - box.left, 300);

    MoveToDpi(window, 96, RECT{40, 60, 240, 160});
    ASSERT_TRUE(PumpUntil([&] { return title->GetPos().Width() == 120; }));
    EXPECT_EQ(pm.LookUpFont(1).metrics.tmHeight, titleFontHeight) << "and back";
    EXPECT_EQ(window.Find(L"auto")->GetPos().Width(), autoWidth);
}

}  // namespace
}  // namespace tessel
