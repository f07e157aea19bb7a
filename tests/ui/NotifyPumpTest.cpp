// Message maps: which handler a notification reaches.
#include <gtest/gtest.h>

#include "ui/ControlUI.h"
#include "ui/NotifyPump.h"

namespace tessel {
namespace {

class BasePump : public CNotifyPump {
public:
    std::vector<std::wstring> calls;
    void OnBaseClick(NotifyRecord&) { calls.push_back(L"base-click"); }
    void OnBaseTimer(NotifyRecord&) { calls.push_back(L"base-timer"); }
    static const NotifyMap& Map() {
        static const NotifyMapEntry entries[] = {
            NotifyOn<BasePump>(L"click", L"", &BasePump::OnBaseClick),
            NotifyOn<BasePump>(L"timer", L"", &BasePump::OnBaseTimer),
        };
        static const NotifyMap map{nullptr, entries};
        return map;
    }

protected:
    const NotifyMap* GetNotifyMap() const override { return &Map(); }
};

class DerivedPump : public BasePump {
public:
    void OnAnyClick(NotifyRecord&) { calls.push_back(L"any-click"); }
    void OnLastAnyClick(NotifyRecord&) { calls.push_back(L"last-any-click"); }
    void OnOkClick(NotifyRecord&) { calls.push_back(L"ok-click"); }
    intptr_t OnSelect(uintptr_t wParam, intptr_t lParam) {
        calls.push_back(L"select " + std::to_wstring(wParam) + L"," + std::to_wstring(lParam));
        return 0;
    }
    static const NotifyMap& Map() {
        // The entry naming "ok" stands between two catch-all entries.
        static const NotifyMapEntry entries[] = {
            NotifyOn<DerivedPump>(L"click", L"", &DerivedPump::OnAnyClick),
            NotifyOn<DerivedPump>(L"click", L"ok", &DerivedPump::OnOkClick),
            NotifyOn<DerivedPump>(L"click", L"", &DerivedPump::OnLastAnyClick),
            NotifyOn<DerivedPump>(L"selectchanged", L"", &DerivedPump::OnSelect),
            NotifyMapEntry{L"menu", L"", NotifyHandlerKind::End, nullptr, nullptr},
        };
        static const NotifyMap map{&BasePump::Map(), entries};
        return map;
    }

protected:
    const NotifyMap* GetNotifyMap() const override { return &Map(); }
};

NotifyRecord Make(std::wstring type, CControlUI* sender, std::wstring virtualWindow = {}) {
    NotifyRecord n;
    n.type = std::move(type);
    n.sender = sender;
    n.virtualWindow = std::move(virtualWindow);
    n.wParam = 3;
    n.lParam = 4;
    return n;
}

TEST(NotifyPumpTest, NamedEntryWinsWhereverItStandsElseTheLastCatchAll) {
    DerivedPump pump;
    CControlUI ok;
    ok.SetName(L"ok");
    CControlUI other;
    other.SetName(L"other");
    auto n = Make(L"click", &ok);
    EXPECT_TRUE(pump.DispatchNotification(n));
    auto m = Make(L"click", &other);
    EXPECT_TRUE(pump.DispatchNotification(m));
    auto unnamed = Make(L"click", nullptr);
    EXPECT_TRUE(pump.DispatchNotification(unnamed));
    EXPECT_EQ(pump.calls,
              (std::vector<std::wstring>{L"ok-click", L"last-any-click", L"last-any-click"}));
}

TEST(NotifyPumpTest, BaseMapsAnswerWhatTheClassMapLacksAndKindsDecideTheCall) {
    DerivedPump pump;
    CControlUI c;
    auto timer = Make(L"timer", &c);
    EXPECT_TRUE(pump.DispatchNotification(timer));
    auto select = Make(L"selectchanged", &c);
    EXPECT_TRUE(pump.DispatchNotification(select));
    auto menu = Make(L"menu", &c);
    EXPECT_FALSE(pump.DispatchNotification(menu)) << "an entry of another kind ends unhandled";
    auto unknown = Make(L"Click", &c);
    EXPECT_FALSE(pump.DispatchNotification(unknown)) << "names compare exactly";
    EXPECT_EQ(pump.calls, (std::vector<std::wstring>{L"base-timer", L"select 3,4"}));
}

TEST(NotifyPumpTest, VirtualWindowOfTheSenderGoesFirstThenThePumpItself) {
    DerivedPump pump;
    BasePump page;
    ASSERT_TRUE(pump.AddVirtualWindow(L"page", &page));
    EXPECT_FALSE(pump.AddVirtualWindow(L"page", &page));
    CControlUI c;
    auto click = Make(L"click", &c, L"page");
    EXPECT_TRUE(pump.DispatchNotification(click));
    EXPECT_EQ(page.calls, std::vector<std::wstring>{L"base-click"});
    EXPECT_TRUE(pump.calls.empty());

    // What the virtual window does not handle comes back to the pump.
    auto select = Make(L"selectchanged", &c, L"page");
    EXPECT_TRUE(pump.DispatchNotification(select));
    EXPECT_EQ(pump.calls.size(), 1u);
    EXPECT_TRUE(pump.RemoveVirtualWindow(L"page"));
    auto again = Make(L"click", &c, L"page");
    pump.DispatchNotification(again);
    EXPECT_EQ(page.calls.size(), 1u);
}

}  // namespace
}  // namespace tessel
