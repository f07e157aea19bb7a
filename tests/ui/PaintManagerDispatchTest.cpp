// The paint manager driving a real window: the paint cycle's first layout, mouse and keyboard
// routing, Tab and Alt shortcuts through the message loop's pre-translation, the drain message
// that delivers queued notifications and deletes removed controls, system timers. The parts'
// own rules are tested without a window (FocusChainTest, NotificationQueueTest, TimerTableTest).
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ui/WindowTestSupport.h"
#include "ui/ButtonUI.h"
#include "ui/ContainerUI.h"

namespace tessel {
namespace {

using testing_support::Filter;
using testing_support::PumpMessages;
using testing_support::PumpUntil;
using testing_support::TestWindow;

// Caption bar (y 0..40): title 0..200, capbtn 200..260, capedit 260..360.
// Buttons below: b1 y 40..80, b2 80..120, b3 120..160; probe 160..180; filler to the bottom.
constexpr wchar_t kMarkup[] =
    LR"(<Window size="400,300" caption="0,0,0,40">
  <VerticalLayout name="root" bkcolor="#FFFFFFFF">
    <HorizontalLayout name="captionbar" height="40">
      <Label name="title" width="200" text="Title"/>
      <Button name="capbtn" width="60" text="B"/>
      <Edit name="capedit" width="100"/>
    </HorizontalLayout>
    <Button name="b1" height="40" text="One"/>
    <Button name="b2" height="40" text="Two"/>
    <Button name="b3" height="40" text="Three"/>
    <Probe name="probe" height="20"/>
    <Control name="filler"/>
  </VerticalLayout>
</Window>)";

// Logs its own painting and its deletion into a window's log.
class ProbeControl : public CControlUI {
public:
    explicit ProbeControl(std::vector<std::wstring>& log) : m_log(log) {}
    ~ProbeControl() override { m_log.push_back(L"probe:deleted"); }
    bool PaintTree(HDC dc, const UiRect& paint, CControlUI* stop) override {
        m_log.push_back(L"probe:paint");
        return CControlUI::PaintTree(dc, paint, stop);
    }

private:
    std::vector<std::wstring>& m_log;
};

// Counts messages of one kind reaching the paint manager.
class MessageCounter : public IMessageFilterUI {
public:
    explicit MessageCounter(UINT message) : m_message(message) {}
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM, bool&) override {
        if (message == m_message) {
            ++count;
            wParams.push_back(wParam);
        }
        return 0;
    }
    int count = 0;
    std::vector<WPARAM> wParams;

private:
    UINT m_message;
};

class PaintManagerDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.customControls = [this](std::wstring_view name) -> CControlUI* {
            return name == L"Probe" ? new ProbeControl(window.log) : nullptr;
        };
        ASSERT_TRUE(window.Open());
        ASSERT_TRUE(PumpUntil([&] { return !Filter(window.log, L"probe:paint").empty(); }));
        // The cursor may still be where an earlier window had it: start from the filler.
        window.SendMouse(WM_MOUSEMOVE, 390, 290);
    }

    CPaintManagerUI& Pm() { return window.GetPaintManager(); }

    TestWindow window{kMarkup};
};

TEST_F(PaintManagerDispatchTest, WindowInitArrivesOnceAfterLayoutBeforeAnyPixel) {
    const auto first = std::find_if(window.log.begin(), window.log.end(), [](const auto& line) {
        return line.starts_with(L"notify:windowinit") || line == L"probe:paint";
    });
    ASSERT_NE(first, window.log.end());
    EXPECT_EQ(*first, L"notify:windowinit:root");
    const auto init = *std::find_if(window.notifications.begin(), window.notifications.end(),
                                    [](const NotifyRecord& n) { return n.type == L"windowinit"; });
    ASSERT_NE(init.sender, nullptr);
    EXPECT_EQ(init.sender->GetWidth(), 400) << "the tree is placed before windowinit";

    // Repaints and a new size lay the tree out again without a second windowinit.
    ::SetWindowPos(window.GetHWND(), nullptr, 0, 0, 420, 320, SWP_NOMOVE | SWP_NOZORDER);
    ::InvalidateRect(window.GetHWND(), nullptr, FALSE);
    ::UpdateWindow(window.GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return window.Find(L"root")->GetWidth() == 420; }))
        << "the tree was not laid out again at the new width";
    EXPECT_EQ(Filter(window.log, L"notify:windowinit").size(), 1u);
}

TEST_F(PaintManagerDispatchTest, PressThenReleaseOutsideReleasesThePressedButtonWithoutClick) {
    window.Watch(L"b1");
    window.Watch(L"filler");
    window.log.clear();
    window.SendMouse(WM_MOUSEMOVE, 200, 60);
    window.SendMouse(WM_LBUTTONDOWN, 200, 60, MK_LBUTTON);
    auto* button = static_cast<CButtonUI*>(window.Find(L"b1"));
    EXPECT_NE(button->GetButtonState() & UISTATE_PUSHED, 0u);
    // Captured: moving over the filler neither leaves b1 nor enters the filler.
    window.SendMouse(WM_MOUSEMOVE, 200, 250, MK_LBUTTON);
    EXPECT_EQ(button->GetButtonState() & UISTATE_PUSHED, 0u) << "pushed look follows the mouse";
    window.SendMouse(WM_LBUTTONUP, 200, 250);

    const std::vector<std::wstring> expected = {L"b1:mouseenter", L"b1:setfocus", L"b1:buttondown",
                                                L"b1:buttonup"};
    EXPECT_EQ(Filter(window.log, L"b1:"), expected);
    // The filler, hovered before, only hears the mouse leave for b1.
    EXPECT_EQ(Filter(window.log, L"filler:"), std::vector<std::wstring>{L"filler:mouseleave"});
    EXPECT_TRUE(Filter(window.log, L"notify:click").empty());
    EXPECT_EQ(button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), 0u);
    EXPECT_EQ(::GetCapture(), nullptr);

    // The next move hands the hover over; a click inside clicks once.
    window.SendMouse(WM_MOUSEMOVE, 200, 250);
    EXPECT_EQ(Filter(window.log, L"b1:").back(), L"b1:mouseleave");
    EXPECT_EQ(Filter(window.log, L"filler:").back(), L"filler:mouseenter");
    window.Click(200, 60);
    PumpMessages();
    EXPECT_EQ(Filter(window.log, L"notify:click"), std::vector<std::wstring>{L"notify:click:b1"});
}

TEST_F(PaintManagerDispatchTest, RightButtonAndWheelReachTheControlUnderTheMouse) {
    window.Watch(L"b2");
    window.log.clear();
    window.SendMouse(WM_MOUSEMOVE, 100, 100);
    window.SendMouse(WM_RBUTTONDOWN, 100, 100, MK_RBUTTON);
    window.SendMouse(WM_RBUTTONUP, 100, 100);
    const POINT screen = window.ToScreen(100, 100);
    ::SendMessageW(window.GetHWND(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                   MAKELPARAM(screen.x, screen.y));
    PumpMessages();
    const auto lines = Filter(window.log, L"b2:");
    const std::vector<std::wstring> expected = {L"b2:mouseenter", L"b2:setfocus", L"b2:rbuttondown",
                                                L"b2:rbuttonup", L"b2:scrollwheel"};
    // A context menu event may follow the right button release (the default procedure's).
    std::vector<std::wstring> withoutMenu;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(withoutMenu),
                 [](const auto& l) { return l != L"b2:contextmenu"; });
    EXPECT_EQ(withoutMenu, expected);
}

TEST_F(PaintManagerDispatchTest, AsynchronousNotificationsArriveTogetherInOrder) {
    PumpMessages();
    MessageCounter drains(WM_APP + 1);
    Pm().AddMessageFilter(&drains);
    window.log.clear();
    CControlUI* b1 = window.Find(L"b1");
    for (const wchar_t* type : {L"first", L"second", L"third"}) {
        Pm().SendNotification(b1, type, 0, 0, /*async=*/true);
    }
    EXPECT_TRUE(window.log.empty()) << "nothing is delivered before the queue is drained";
    ASSERT_TRUE(PumpUntil([&] { return Filter(window.log, L"notify:").size() >= 3; }))
        << "the queued notifications were never delivered";
    Pm().RemoveMessageFilter(&drains);
    EXPECT_EQ(drains.count, 1);
    const std::vector<std::wstring> expected = {L"notify:first:b1", L"notify:second:b1",
                                                L"notify:third:b1"};
    EXPECT_EQ(Filter(window.log, L"notify:"), expected);
}

TEST_F(PaintManagerDispatchTest, TabWalksTheTabStopsInTreeOrderBothWays) {
    // The first paint gave focus to the first tab stop.
    ASSERT_NE(Pm().GetFocus(), nullptr);
    EXPECT_EQ(Pm().GetFocus()->GetName(), L"capbtn");
    std::vector<std::wstring> order;
    for (int i = 0; i < 5; ++i) {
        window.PostKey(VK_TAB);
        order.push_back(Pm().GetFocus()->GetName());
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"capedit", L"b1", L"b2", L"b3", L"capbtn"}));

    window.log.clear();
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    window.PostKey(VK_TAB);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(Pm().GetFocus()->GetName(), L"b3") << "Shift+Tab wraps to the last stop";
    EXPECT_EQ(Filter(window.log, L"notify:"),
              (std::vector<std::wstring>{L"notify:killfocus:capbtn", L"notify:setfocus:b3"}));

    // Return on a focused button activates it; Alt+shortcut focuses and activates.
    window.log.clear();
    window.PostKey(VK_RETURN);
    PumpMessages();
    EXPECT_EQ(Filter(window.log, L"notify:click"), std::vector<std::wstring>{L"notify:click:b3"});
    window.Find(L"b1")->SetShortcut(L'O');
    window.log.clear();
    ::PostMessageW(window.GetHWND(), WM_SYSCHAR, L'o', 0);
    PumpMessages();
    EXPECT_EQ(Pm().GetFocus()->GetName(), L"b1");
    EXPECT_EQ(Filter(window.log, L"notify:click"), std::vector<std::wstring>{L"notify:click:b1"});
}

TEST_F(PaintManagerDispatchTest, KeysGoToTheFocusedControlAndKeyUpToWhereKeyDownWent) {
    window.Watch(L"b1");
    window.Watch(L"b2");
    window.Find(L"b1")->SetFocus();
    window.log.clear();
    ::SendMessageW(window.GetHWND(), WM_KEYDOWN, 'A', 0);
    window.Find(L"b2")->SetFocus();
    ::SendMessageW(window.GetHWND(), WM_CHAR, 'a', 0);
    ::SendMessageW(window.GetHWND(), WM_KEYUP, 'A', 0);
    const std::vector<std::wstring> expected = {L"b1:keydown", L"b1:killfocus", L"b2:setfocus",
                                                L"b2:char", L"b1:keyup"};
    std::vector<std::wstring> events;
    for (const auto& line : window.log) {
        if (!line.starts_with(L"notify:")) {
            events.push_back(line);
        }
    }
    EXPECT_EQ(events, expected);
}

TEST_F(PaintManagerDispatchTest, TimersFireStopAndRestartUnderTheirOldSystemId) {
    MessageCounter ticks(WM_TIMER);
    Pm().AddMessageFilter(&ticks);
    CControlUI* b1 = window.Find(L"b1");
    ASSERT_TRUE(Pm().SetTimer(b1, 7, 10));
    EXPECT_FALSE(Pm().SetTimer(b1, 7, 10)) << "a live timer cannot be set twice";
    const auto timerNotifications = [&] {
        return std::count_if(window.notifications.begin(), window.notifications.end(),
                             [](const NotifyRecord& n) {
                                 return n.type == L"timer" && n.wParam == 7 &&
                                        n.sender != nullptr && n.sender->GetName() == L"b1";
                             });
    };
    ASSERT_TRUE(PumpUntil([&] { return timerNotifications() >= 2; }));
    ASSERT_FALSE(ticks.wParams.empty());
    const WPARAM systemId = ticks.wParams.front();

    EXPECT_TRUE(Pm().KillTimer(b1, 7));
    EXPECT_FALSE(Pm().KillTimer(b1, 7));
    // A killed timer stays silent while another one, set after the kill, ticks several times.
    const auto afterKill = timerNotifications();
    CControlUI* b2 = window.Find(L"b2");
    const auto witnessTicks = [&] {
        return std::count_if(
            window.notifications.begin(), window.notifications.end(),
            [&](const NotifyRecord& n) { return n.type == L"timer" && n.sender == b2; });
    };
    ASSERT_TRUE(Pm().SetTimer(b2, 8, 10));
    ASSERT_TRUE(PumpUntil([&] { return witnessTicks() >= 5; })) << "the witness timer never ticked";
    Pm().KillTimer(b2, 8);
    EXPECT_EQ(timerNotifications(), afterKill);

    ticks.wParams.clear();
    ASSERT_TRUE(Pm().SetTimer(b1, 7, 10));
    ASSERT_TRUE(PumpUntil([&] { return timerNotifications() > afterKill; }));
    EXPECT_EQ(ticks.wParams.front(), systemId);
    Pm().KillTimer(b1);
    Pm().RemoveMessageFilter(&ticks);
}

TEST_F(PaintManagerDispatchTest, RemovedControlsAreDeletedByTheNextDrainNotBefore) {
    CControlUI* probe = window.Find(L"probe");
    window.Watch(L"probe");
    window.SendMouse(WM_MOUSEMOVE, 100, 170);
    ASSERT_EQ(Pm().GetHover(), probe);
    auto* root = static_cast<CContainerUI*>(window.Find(L"root"));
    window.log.clear();
    ASSERT_TRUE(root->Remove(probe));
    EXPECT_TRUE(Filter(window.log, L"probe:deleted").empty());
    EXPECT_EQ(Pm().GetHover(), nullptr) << "a removed control is no longer hovered";
    EXPECT_EQ(Pm().FindControl(L"probe"), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !Filter(window.log, L"probe:deleted").empty(); }))
        << "the removed control was never deleted";
    EXPECT_EQ(Filter(window.log, L"probe:deleted").size(), 1u);
}

TEST_F(PaintManagerDispatchTest, HoverShowsTheTooltipAndLeavingHidesIt) {
    window.Find(L"b1")->SetToolTip(L"The first button");
    window.Watch(L"b1");
    window.SendMouse(WM_MOUSEMOVE, 200, 60);
    ::SendMessageW(window.GetHWND(), WM_MOUSEHOVER, 0, MAKELPARAM(200, 60));
    EXPECT_EQ(Filter(window.log, L"b1:").back(), L"b1:mousehover");
    HWND tip = nullptr;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, L"tooltips_class32", nullptr)) {
        if (::GetWindow(w, GW_OWNER) == window.GetHWND()) {
            tip = w;
        }
    }
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(::IsWindowVisible(tip));
    window.SendMouse(WM_MOUSEMOVE, 200, 250);
    EXPECT_FALSE(::IsWindowVisible(tip));
}

TEST_F(PaintManagerDispatchTest, ClosingTellsTheHoveredAndPressedControls) {
    window.Watch(L"b1");
    window.SendMouse(WM_MOUSEMOVE, 200, 60);
    window.SendMouse(WM_LBUTTONDOWN, 200, 60, MK_LBUTTON);
    window.log.clear();
    ::SendMessageW(window.GetHWND(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window.GetHWND()));
    const std::vector<std::wstring> expected = {L"b1:mouseleave", L"b1:buttonup", L"b1:killfocus"};
    EXPECT_EQ(Filter(window.log, L"b1:"), expected);
    EXPECT_EQ(window.destroyedCount, 1);
}

}  // namespace
}  // namespace tessel
