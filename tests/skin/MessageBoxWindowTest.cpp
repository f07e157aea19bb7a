// The product's skinned windows on the virtual display: the base window's system buttons, system
// close, maximise state, text defaults and self-deletion, and the modal message box (its size, its
// place on its owner, its caption and every way of closing it), driven from inside its own loop.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/MessageBoxW.h"
#include "skin/WindowBase.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/ControlUI.h"

namespace tessel {
namespace testing_support {
// EnglishSkin.cpp: the built package, opened once, with the English texts loaded.
bool OpenSkinInEnglish();
void ClearLanguage();
}  // namespace testing_support

namespace {

using testing_support::PumpUntil;
using testing_support::TestWindow;

constexpr wchar_t kProductClass[] = L"TesselInstall";
// No product window closes with this: the watchdog's result.
constexpr int kTimedOut = 99;
constexpr int kButtonResult = 5;

BOOL CALLBACK CollectProductWindow(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (wcscmp(name, kProductClass) == 0) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

// This thread's windows of the product's class.
std::vector<HWND> ProductWindows() {
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectProductWindow,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindOwnedProductWindow(HWND owner) {
    for (HWND window : ProductWindows()) {
        if (::GetWindow(window, GW_OWNER) == owner) {
            return window;
        }
    }
    return nullptr;
}

// The object behind a framework window: its window procedure keeps it in the user data.
WindowImplBase& ObjectOf(HWND window) {
    return *static_cast<WindowImplBase*>(
        reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA)));
}

bool IsLaidOut(CControlUI* control) {
    return control != nullptr && control->GetPos().Width() > 0;
}

// Moves the real cursor onto the middle of `control` and clicks there, as TestWindow::Click does.
void ClickControl(HWND window, CControlUI* control) {
    const UiRect r = control->GetPos();
    POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    const LPARAM at = MAKELPARAM(point.x, point.y);
    ::ClientToScreen(window, &point);
    ::SetCursorPos(point.x, point.y);
    ::SendMessageW(window, WM_MOUSEMOVE, 0, at);
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(window, WM_LBUTTONUP, 0, at);
}

// Calls `step` from a thread timer every 20 ms, so also inside a modal loop, until it answers
// true. At the window tests' deadline it gives up and closes every product window of the thread
// with kTimedOut: a window that never gets ready fails its test instead of hanging it.
class TickDriver {
public:
    explicit TickDriver(std::function<bool()> step)
        : m_step(std::move(step)),
          m_deadline(::GetTickCount64() + testing_support::kWaitDeadlineMs) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 20, &TickDriver::OnTick);
    }
    ~TickDriver() {
        Stop();
        s_current = nullptr;
    }
    TickDriver(const TickDriver&) = delete;
    TickDriver& operator=(const TickDriver&) = delete;

    bool TimedOut() const { return m_timedOut; }

private:
    void Stop() {
        if (m_timer != 0) {
            ::KillTimer(nullptr, m_timer);
            m_timer = 0;
        }
    }
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        TickDriver* self = s_current;
        if (self == nullptr || self->m_timer == 0 || self->m_busy) {
            return;
        }
        if (::GetTickCount64() > self->m_deadline) {
            self->m_timedOut = true;
            self->Stop();
            for (HWND window : ProductWindows()) {
                ::PostMessageW(window, WM_CLOSE, kTimedOut, 0);
            }
            return;
        }
        self->m_busy = true;
        const bool done = self->m_step();
        self->m_busy = false;
        if (done) {
            self->Stop();
        }
    }

    static inline TickDriver* s_current = nullptr;
    std::function<bool()> m_step;
    ULONGLONG m_deadline;
    UINT_PTR m_timer = 0;
    bool m_busy = false;
    bool m_timedOut = false;
};

// ---- the base window ----------------------------------------------------------------------

constexpr wchar_t kProbeMarkup[] =
    LR"(<Window size="400,300">
  <VerticalLayout bkcolor="#FFFFFFFF">
    <HorizontalLayout height="30">
      <Button name="btnSysMin" width="40" text="_"/>
      <Button name="btnSysMax" width="40" text="+"/>
      <Button name="btnSysRestore" width="40" text="=" visible="false"/>
      <Button name="btnSysOK" width="40" text="OK"/>
      <Button name="btnSysCancel" width="40" text="No"/>
      <Button name="btnSysClose" width="40" text="X"/>
    </HorizontalLayout>
    <Label name="body" text="probe"/>
  </VerticalLayout>
</Window>)";

// A product window of its own markup that counts its deletions.
class ProbeWindow : public CWindowBase {
public:
    static inline int deletions = 0;

    // Creates, shows and lays out a probe; from here on the object belongs to its window.
    static HWND Open(HWND owner = nullptr) {
        auto* probe = new ProbeWindow();
        const HWND window =
            probe->CreateWindowAt(owner, L"Tessel probe", WS_POPUP | WS_CLIPCHILDREN,
                                  WS_EX_TOOLWINDOW, 100, 100, 400, 300);
        if (window == nullptr) {
            return nullptr;
        }
        ::ShowWindow(window, SW_SHOWNORMAL);
        ::UpdateWindow(window);
        PumpUntil([&] { return IsLaidOut(Find(window, L"btnSysClose")); });
        return window;
    }
    static CControlUI* Find(HWND window, const wchar_t* name) {
        return ObjectOf(window).GetPaintManager().FindControl(name);
    }

protected:
    ~ProbeWindow() override { ++deletions; }
    std::wstring SkinFileName() const override { return kProbeMarkup; }
};

class ProductWindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testing_support::OpenSkinInEnglish()); }
    void TearDown() override {
        // A failed check may leave a window behind; it deletes its object as it goes.
        for (HWND window : ProductWindows()) {
            ::DestroyWindow(window);
        }
        testing_support::ClearLanguage();
    }
};

using WindowBaseTest = ProductWindowTest;

TEST_F(WindowBaseTest, SystemButtonsAndSystemCloseEndTheModalLoopWithTheirResults) {
    struct Case {
        const char* label;
        const wchar_t* button;  // null: the system close command
        UINT expected;
    };
    const Case cases[] = {
        {"btnSysClose", L"btnSysClose", 0},
        {"btnSysOK", L"btnSysOK", IDOK},
        {"btnSysCancel", L"btnSysCancel", IDCANCEL},
        {"system close", nullptr, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const int deletionsBefore = ProbeWindow::deletions;
        const HWND window = ProbeWindow::Open();
        ASSERT_NE(window, nullptr);
        TickDriver driver([&] {
            if (c.button != nullptr) {
                ClickControl(window, ProbeWindow::Find(window, c.button));
            } else {
                ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return true;
        });
        EXPECT_EQ(ObjectOf(window).ShowModal(), c.expected);
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(ProbeWindow::deletions, deletionsBefore + 1) << "the object went with its window";
    }
}

TEST_F(WindowBaseTest, MaximisingSwapsMaxAndRestoreButMinimiseAndRestoreLeaveThem) {
    const HWND window = ProbeWindow::Open();
    ASSERT_NE(window, nullptr);
    CControlUI* max = ProbeWindow::Find(window, L"btnSysMax");
    CControlUI* restore = ProbeWindow::Find(window, L"btnSysRestore");
    enum class Shown { Minimised, Normal, Maximised };
    const auto state = [&] {
        return ::IsIconic(window) ? Shown::Minimised
                                  : (::IsZoomed(window) ? Shown::Maximised : Shown::Normal);
    };
    // Sends a system command and waits until the window shows the state it leads to.
    const auto command = [&](WPARAM which, Shown expected) {
        ::SendMessageW(window, WM_SYSCOMMAND, which, 0);
        return PumpUntil([&] { return state() == expected; });
    };

    ASSERT_TRUE(command(SC_MINIMIZE, Shown::Minimised)) << "not minimised";
    ASSERT_TRUE(command(SC_RESTORE, Shown::Normal)) << "not restored from the normal size";
    EXPECT_TRUE(max->IsVisible()) << "minimised and restored from the normal size";
    EXPECT_FALSE(restore->IsVisible());

    ASSERT_TRUE(command(SC_MAXIMIZE, Shown::Maximised)) << "not maximised";
    EXPECT_FALSE(max->IsVisible());
    EXPECT_TRUE(restore->IsVisible());

    ASSERT_TRUE(command(SC_MINIMIZE, Shown::Minimised)) << "not minimised from maximised";
    ASSERT_TRUE(command(SC_RESTORE, Shown::Maximised)) << "not back to where it was minimised from";
    EXPECT_FALSE(max->IsVisible());
    EXPECT_TRUE(restore->IsVisible());

    ASSERT_TRUE(command(SC_RESTORE, Shown::Normal)) << "not restored from maximised";
    EXPECT_TRUE(max->IsVisible());
    EXPECT_FALSE(restore->IsVisible());
}

TEST_F(WindowBaseTest, TextDefaultsAreTheWindowsOwnAndTheObjectGoesWithItsWindow) {
    const int deletionsBefore = ProbeWindow::deletions;
    const HWND window = ProbeWindow::Open();
    ASSERT_NE(window, nullptr);
    const CPaintManagerUI& manager = ObjectOf(window).GetPaintManager();
    EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF444444u);
    EXPECT_EQ(manager.GetDefaultLinkFontColor(), 0x00444444u);
    EXPECT_EQ(manager.GetDefaultLinkHoverFontColor(), 0x003E93D9u);
    // The font survives the paint manager's binding to the window (this markup sets none).
    EXPECT_EQ(manager.GetDefaultFontInfo().face, L"\x5FAE\x8F6F\x96C5\x9ED1");
    EXPECT_EQ(manager.GetDefaultFontInfo().size, 12);
    const CPaintManagerUI fresh;
    EXPECT_NE(fresh.GetDefaultFontColor(), 0xFF444444u) << "the shared defaults stay as they were";

    EXPECT_EQ(ProbeWindow::deletions, deletionsBefore);
    ::DestroyWindow(window);
    EXPECT_EQ(ProbeWindow::deletions, deletionsBefore + 1);
}

// ---- the message box ----------------------------------------------------------------------

constexpr wchar_t kOwnerMarkup[] =
    LR"(<Window size="600,400">
  <VerticalLayout bkcolor="#FFEEEEEE"><Label name="label" text="owner"/></VerticalLayout>
</Window>)";

// A one-line message of 148 characters.
constexpr wchar_t kLongText[] =
    L"Setup could not replace a file that another program is still using. Close every Tessel "
    L"program and any open folder, then choose OK to try once more.";

// What a message box showed while it was up, and how it ended.
struct BoxRun {
    int result = 0;
    bool timedOut = false;
    bool laidOut = false;
    RECT window{};
    RECT client{};
    RECT work{};
    UiSize button1;  // its floating position
    std::wstring title;
    std::wstring caption;
    bool ownerDisabled = false;
    bool button1Focused = false;
    bool boxGone = false;
    bool ownerEnabledAfter = false;
};

// Shows a box owned by `owner`; once it is laid out and "windowinit" has had a few ticks to give
// Button1 the focus, notes what it shows and hands it to `act`, which is to close it.
BoxRun ShowBox(HWND owner, const wchar_t* text, const wchar_t* caption,
               const std::function<void(HWND box, CPaintManagerUI& manager)>& act) {
    BoxRun run;
    HWND box = nullptr;
    int ticksLaidOut = 0;
    TickDriver driver([&] {
        box = FindOwnedProductWindow(owner);
        if (box == nullptr || !::IsWindowVisible(box)) {
            return false;
        }
        CPaintManagerUI& manager = ObjectOf(box).GetPaintManager();
        CControlUI* button1 = manager.FindControl(L"Button1");
        if (!IsLaidOut(button1)) {
            return false;
        }
        run.button1Focused = manager.GetFocus() == button1;
        if (!run.button1Focused && ++ticksLaidOut < 10) {
            return false;
        }
        run.laidOut = true;
        ::GetWindowRect(box, &run.window);
        ::GetClientRect(box, &run.client);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &monitor);
        run.work = monitor.rcWork;
        run.button1 = button1->GetFixedXY();
        wchar_t title[256] = {};
        ::GetWindowTextW(box, title, 256);
        run.title = title;
        if (CControlUI* label = manager.FindControl(L"labCaption")) {
            run.caption = label->GetText();
        }
        run.ownerDisabled = !::IsWindowEnabled(owner);
        act(box, manager);
        return true;
    });
    run.result = MessageBoxW::ShowMessage(owner, text, caption);
    run.timedOut = driver.TimedOut();
    run.boxGone = box != nullptr && !::IsWindow(box);
    run.ownerEnabledAfter = ::IsWindowEnabled(owner) != FALSE;
    return run;
}

void ClickButton1(HWND box, CPaintManagerUI& manager) {
    ClickControl(box, manager.FindControl(L"Button1"));
}

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

using MessageBoxTest = ProductWindowTest;

TEST_F(MessageBoxTest, EmptyTextGivesTheMarkupSizeCentredOnTheOwnerInsideTheWorkArea) {
    enum class Place { OnOwner, InCorner, OnWorkArea };
    struct Case {
        const char* label;
        RECT owner;  // empty: the box has no owner
        Place expected;
    };
    const Case cases[] = {
        {"owner in the middle", {300, 200, 900, 600}, Place::OnOwner},
        // Centred on this owner the box would reach past the work area's right and bottom.
        {"owner over the bottom right corner", {1000, 650, 1600, 1050}, Place::InCorner},
        {"no owner", {}, Place::OnWorkArea},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestWindow owner(kOwnerMarkup);
        if (c.expected != Place::OnWorkArea) {
            ASSERT_TRUE(owner.Open(c.owner.left, c.owner.top, Width(c.owner), Height(c.owner)));
        }
        const BoxRun run = ShowBox(owner.GetHWND(), L"", L"Tessel", ClickButton1);
        ASSERT_TRUE(run.laidOut);
        EXPECT_EQ(Width(run.window), 342);
        EXPECT_EQ(Height(run.window), 202);
        EXPECT_EQ(run.client.right, 342) << "no native frame";
        EXPECT_EQ(run.client.bottom, 202);
        EXPECT_EQ(run.button1, (UiSize{122, 10})) << "centred; the markup has it at 136";
        const RECT& w = run.window;
        EXPECT_GE(w.left, run.work.left);
        EXPECT_GE(w.top, run.work.top);
        EXPECT_LE(w.right, run.work.right);
        EXPECT_LE(w.bottom, run.work.bottom);
        const RECT& centredOn = c.expected == Place::OnOwner ? c.owner : run.work;
        if (c.expected == Place::InCorner) {
            EXPECT_EQ(w.right, run.work.right);
            EXPECT_EQ(w.bottom, run.work.bottom);
        } else {
            EXPECT_NEAR((w.left + w.right) / 2, (centredOn.left + centredOn.right) / 2, 1);
            EXPECT_NEAR((w.top + w.bottom) / 2, (centredOn.top + centredOn.bottom) / 2, 1);
        }
        EXPECT_EQ(run.result, kButtonResult);
    }
}

TEST_F(MessageBoxTest, LongTextWidensTheBoxKeepsItsHeightAndCentresButton1) {
    TestWindow owner(kOwnerMarkup);
    ASSERT_TRUE(owner.Open(300, 200, 600, 400));
    const BoxRun run = ShowBox(owner.GetHWND(), kLongText, L"Tessel", ClickButton1);
    ASSERT_TRUE(run.laidOut);
    const int width = Width(run.window);
    EXPECT_GT(width, 342);
    EXPECT_EQ(Height(run.window), 202) << "one line of text: the minimum height";
    EXPECT_EQ(run.client.right, width);
    EXPECT_EQ(run.button1.cx, width / 2 - 98 / 2);
    EXPECT_EQ(run.button1.cy, 10);
    EXPECT_EQ(run.result, kButtonResult);
}

TEST_F(MessageBoxTest, CaptionIsTheNativeTitleAndTheCaptionLabelANullOneShowsNothing) {
    TestWindow owner(kOwnerMarkup);
    ASSERT_TRUE(owner.Open(300, 200, 600, 400));
    const BoxRun named = ShowBox(owner.GetHWND(), L"Done.", L"Tessel Setup", ClickButton1);
    ASSERT_TRUE(named.laidOut);
    EXPECT_EQ(named.title, L"Tessel Setup");
    EXPECT_EQ(named.caption, L"Tessel Setup");

    const BoxRun unnamed = ShowBox(owner.GetHWND(), L"Done.", nullptr, ClickButton1);
    ASSERT_TRUE(unnamed.laidOut);
    EXPECT_EQ(unnamed.title, L"");
    EXPECT_EQ(unnamed.caption, L"") << "not the markup's own caption text";
}

TEST_F(MessageBoxTest, EveryWayOfClosingGivesItsResultAndFreesTheOwner) {
    TestWindow owner(kOwnerMarkup);
    ASSERT_TRUE(owner.Open(300, 200, 600, 400));
    using Act = std::function<void(HWND, CPaintManagerUI&)>;
    const auto postKey = [](WPARAM key) -> Act {
        return [key](HWND box, CPaintManagerUI&) {
            ::PostMessageW(box, WM_KEYDOWN, key, 1);
            ::PostMessageW(box, WM_KEYUP, key, 0xC0000001);
        };
    };
    struct Case {
        const char* label;
        Act act;
        int expected;
    };
    const Case cases[] = {
        {"click on Button1", ClickButton1, kButtonResult},
        {"click on the close glyph",
         [](HWND box, CPaintManagerUI& manager) {
             ClickControl(box, manager.FindControl(L"btnClose"));
         },
         kButtonResult},
        {"system close",
         [](HWND box, CPaintManagerUI&) { ::SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, 1},
        {"Alt+F4",
         [](HWND box, CPaintManagerUI&) {
             ::PostMessageW(box, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // with the Alt context bit
         },
         1},
        {"Space on the focused button", postKey(VK_SPACE), kButtonResult},
        {"Return on the focused button", postKey(VK_RETURN), kButtonResult},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const BoxRun run = ShowBox(owner.GetHWND(), L"Installation finished.", L"Tessel", c.act);
        ASSERT_TRUE(run.laidOut);
        EXPECT_TRUE(run.button1Focused) << "\"windowinit\" gives Button1 the focus";
        EXPECT_EQ(run.result, c.expected);
        EXPECT_FALSE(run.timedOut);
        EXPECT_TRUE(run.ownerDisabled) << "modal";
        EXPECT_TRUE(run.ownerEnabledAfter);
        EXPECT_TRUE(run.boxGone);
    }
}

TEST_F(MessageBoxTest, InstallWindowAndMessageBoxShareTheProductWindowClass) {
    const HWND install = ProbeWindow::Open();
    ASSERT_NE(install, nullptr);
    const BoxRun run = ShowBox(install, L"Installation finished.", L"Tessel", ClickButton1);
    EXPECT_EQ(run.result, kButtonResult) << "the box's registration of the class is accepted";
    const HWND another = ProbeWindow::Open();
    ASSERT_NE(another, nullptr) << "and so is a third";
    for (HWND window : {install, another}) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        EXPECT_STREQ(name, kProductClass);
    }
    ::DestroyWindow(another);
    ::DestroyWindow(install);
}

}  // namespace
}  // namespace tessel
