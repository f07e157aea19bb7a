// The focus chain over a windowless tree: the Tab order walk on its own, Tab past hidden and
// disabled stops both ways, the hand-over of the focus, and focus waiting for the first layout.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ui/ButtonUI.h"
#include "ui/FocusChain.h"
#include "ui/HorizontalLayoutUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/VerticalLayoutUI.h"

namespace tessel {
namespace {

TEST(NextTabStopTest, WalksBothWaysAndWrapsAtEitherEnd) {
    std::array<CControlUI, 4> controls;
    CControlUI* const a = &controls[0];
    CControlUI* const b = &controls[1];
    CControlUI* const c = &controls[2];
    CControlUI* const outsider = &controls[3];
    const std::vector<CControlUI*> stops = {a, b, c};
    struct Case {
        const char* what;
        const CControlUI* from;
        TabDirection direction;
        CControlUI* expected;
    };
    const Case cases[] = {
        {"forward from the middle", b, TabDirection::Forward, c},
        {"backward from the middle", b, TabDirection::Backward, a},
        {"forward from the last wraps", c, TabDirection::Forward, a},
        {"backward from the first wraps", a, TabDirection::Backward, c},
        {"forward from nothing", nullptr, TabDirection::Forward, a},
        {"backward from nothing", nullptr, TabDirection::Backward, c},
        {"forward from a non-stop", outsider, TabDirection::Forward, a},
        {"backward from a non-stop", outsider, TabDirection::Backward, c},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(NextTabStop(stops, test.from, test.direction), test.expected);
    }
    EXPECT_EQ(NextTabStop({}, a, TabDirection::Forward), nullptr);
    const std::vector<CControlUI*> single = {b};
    EXPECT_EQ(NextTabStop(single, b, TabDirection::Forward), b);
    EXPECT_EQ(NextTabStop(single, b, TabDirection::Backward), b);
}

// Logs "<type>:<sender name>" for every notification.
struct NotificationLog final : INotifyUI {
    std::vector<std::wstring> lines;
    void Notify(NotifyRecord& n) override {
        lines.push_back(L"notify:" + n.type + L":" + SenderName(n));
    }
};

// A windowless tree of tab stops and controls that are not stops (or not now):
//   a  hidden  b  disabled  [hidden box: inbox]  keyless  c      (all buttons)
class FocusChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* root = new CVerticalLayoutUI;
        Add(root, new CButtonUI, L"a");
        Add(root, new CButtonUI, L"hidden")->SetVisible(false);
        Add(root, new CButtonUI, L"b");
        Add(root, new CButtonUI, L"disabled")->SetEnabled(false);
        auto* box = static_cast<CContainerUI*>(Add(root, new CHorizontalLayoutUI, L"box"));
        Add(box, new CButtonUI, L"inbox");
        box->SetVisible(false);
        Add(root, new CButtonUI, L"keyless")->SetKeyboardEnabled(false);
        Add(root, new CButtonUI, L"c");
        m_manager.AttachRoot(root);
        m_manager.AddNotifier(&m_log);
    }

    static CControlUI* Add(CContainerUI* parent, CControlUI* control, const wchar_t* name) {
        control->SetName(name);
        parent->Add(control);
        return control;
    }
    CControlUI* Find(std::wstring_view name) { return m_manager.FindControl(name); }
    std::wstring FocusName() const {
        return m_manager.GetFocus() != nullptr ? m_manager.GetFocus()->GetName() : L"(none)";
    }
    // Where the focus goes on each of `presses` Tab (or Shift+Tab) presses, once the tree has been
    // placed (as the paint cycle would have done).
    std::vector<std::wstring> Walk(bool forward, int presses) {
        m_manager.ClearUpdateNeeded();
        std::vector<std::wstring> visited;
        for (int i = 0; i < presses; ++i) {
            m_manager.MoveFocusToNext(forward);
            visited.push_back(FocusName());
        }
        return visited;
    }

    CPaintManagerUI m_manager;
    NotificationLog m_log;
};

TEST_F(FocusChainTest, TabPassesOverHiddenDisabledAndKeylessStopsBothWays) {
    EXPECT_EQ(Walk(true, 4), (std::vector<std::wstring>{L"a", L"b", L"c", L"a"}));
    EXPECT_EQ(Walk(false, 4), (std::vector<std::wstring>{L"c", L"b", L"a", L"c"}));

    // A stop that becomes visible joins the walk in tree order; inside a hidden box it stays out
    // until the box is shown.
    Find(L"hidden")->SetVisible(true);
    Find(L"disabled")->SetEnabled(true);
    Find(L"a")->SetFocus();
    EXPECT_EQ(Walk(true, 3), (std::vector<std::wstring>{L"hidden", L"b", L"disabled"}));
    Find(L"box")->SetVisible(true);
    EXPECT_EQ(Walk(true, 2), (std::vector<std::wstring>{L"inbox", L"c"}));
}

TEST_F(FocusChainTest, ForwardTabWaitsForThePendingLayoutBackwardDoesNot) {
    EXPECT_TRUE(m_manager.IsFocusNeeded()) << "a new tree wants its first stop focused";
    m_manager.MoveFocusToNext(true);
    EXPECT_EQ(m_manager.GetFocus(), nullptr) << "stops are judged only once they are placed";
    EXPECT_TRUE(m_manager.IsFocusNeeded());
    m_manager.MoveFocusToNext(false);
    EXPECT_EQ(FocusName(), L"c");
    EXPECT_FALSE(m_manager.IsFocusNeeded());

    m_manager.ClearUpdateNeeded();
    m_manager.MoveFocusToNext(true);
    EXPECT_EQ(FocusName(), L"a");
}

TEST_F(FocusChainTest, OldControlLosesTheFocusBeforeTheNewOneGetsIt) {
    std::vector<std::wstring> events;
    for (const wchar_t* name : {L"a", L"b"}) {
        Find(name)->AddEventListener([&events, name = std::wstring(name)](EventRecord& e) {
            if (e.kind == EVT_SETFOCUS || e.kind == EVT_KILLFOCUS) {
                events.push_back(name + (e.kind == EVT_SETFOCUS ? L":setfocus" : L":killfocus"));
            }
            return true;
        });
    }
    Find(L"a")->SetFocus();
    events.clear();
    m_log.lines.clear();
    Find(L"b")->SetFocus();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"a:killfocus", L"b:setfocus"}));
    EXPECT_EQ(m_log.lines,
              (std::vector<std::wstring>{L"notify:killfocus:a", L"notify:setfocus:b"}));
    EXPECT_FALSE(Find(L"a")->IsFocused());
    EXPECT_TRUE(Find(L"b")->IsFocused());

    Find(L"b")->SetFocus();
    EXPECT_EQ(m_log.lines.size(), 2u) << "focusing the focused control changes nothing";
}

TEST_F(FocusChainTest, OnlyVisibleEnabledControlsOfThisTreeTakeTheFocus) {
    CButtonUI stranger;
    CPaintManagerUI other;
    stranger.SetManager(&other, nullptr, false);
    for (CControlUI* refused : {Find(L"hidden"), Find(L"disabled"), Find(L"inbox"),
                                static_cast<CControlUI*>(&stranger)}) {
        SCOPED_TRACE(testing::Message() << "refused " << refused);
        Find(L"a")->SetFocus();
        m_manager.SetFocus(refused);
        EXPECT_EQ(m_manager.GetFocus(), nullptr) << "the old focus is taken away all the same";
        EXPECT_FALSE(Find(L"a")->IsFocused());
    }
    stranger.SetManager(nullptr, nullptr, false);
}

TEST_F(FocusChainTest, RemovedFocusedControlLeavesNothingFocusedWithoutEvents) {
    Find(L"c")->SetFocus();
    m_log.lines.clear();
    auto* root = static_cast<CContainerUI*>(m_manager.GetRoot());
    ASSERT_TRUE(root->Remove(Find(L"c")));
    EXPECT_EQ(m_manager.GetFocus(), nullptr);
    EXPECT_TRUE(m_log.lines.empty()) << "a dying control is not told it lost the focus";
    EXPECT_EQ(Walk(false, 1), std::vector<std::wstring>{L"b"});
}

}  // namespace
}  // namespace tessel
