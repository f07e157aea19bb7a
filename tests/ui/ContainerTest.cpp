#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/UiTestSupport.h"
#include "ui/ButtonUI.h"
#include "ui/ContainerUI.h"
#include "ui/HorizontalLayoutUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/TabLayoutUI.h"
#include "ui/VerticalLayoutUI.h"

namespace tessel {
namespace {

using testing_support::PaintSurface;

struct NotifyLog final : INotifyUI {
    std::vector<NotifyRecord> seen;
    void Notify(NotifyRecord& n) override { seen.push_back(n); }
};

CControlUI* Colored(uint32_t color, int width = 0, int height = 0) {
    auto* control = new CControlUI;
    control->SetBkColor(color);
    control->SetFixedWidth(width);
    control->SetFixedHeight(height);
    return control;
}

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override { m_manager.AddNotifier(&m_log); }
    CPaintManagerUI m_manager;
    NotifyLog m_log;
};

TEST_F(ContainerTest, VerticalLayoutPlacesThroughTheControls) {
    auto* root = new CVerticalLayoutUI;
    m_manager.AttachRoot(root);
    root->SetInset({10, 10, 10, 10});
    auto* title = Colored(0, 0, 30);
    auto* body = Colored(0);
    body->SetPadding({0, 4, 0, 6});
    root->Add(title);
    root->Add(body);
    root->SetPos({0, 0, 730, 498});
    EXPECT_EQ(title->GetPos(), (UiRect{10, 10, 720, 40}));
    EXPECT_EQ(body->GetPos(), (UiRect{10, 44, 720, 482}));
    EXPECT_EQ(body->GetPos().Height(), 448 - 10);
}

TEST_F(ContainerTest, FloatingChildSitsAtItsPositionFromTheParent) {
    auto* root = new CVerticalLayoutUI;
    m_manager.AttachRoot(root);
    auto* logo = new CControlUI;
    root->Add(logo);
    root->Add(new CControlUI);
    logo->SetAttribute(L"float", L"true");
    logo->SetAttribute(L"width", L"371");
    logo->SetAttribute(L"height", L"73");
    logo->SetAttribute(L"pos", L"170,86");
    root->SetInset({10, 10, 10, 10});
    root->SetPos({5, 7, 735, 505});
    EXPECT_EQ(logo->GetPos(), UiRect::FromXYWH(5 + 170, 7 + 86, 371, 73));
    EXPECT_EQ(root->GetItemAt(1)->GetPos(), (UiRect{15, 17, 725, 495}));
}

TEST_F(ContainerTest, TabShowsOnlyTheSelectedPage) {
    auto* tab = new CTabLayoutUI;
    m_manager.AttachRoot(tab);
    CControlUI* pages[3];
    for (auto*& page : pages) {
        page = new CVerticalLayoutUI;
        tab->Add(page);
    }
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(pages[0]->IsVisible());
    EXPECT_FALSE(pages[1]->IsVisible());
    tab->SetPos({0, 0, 100, 100});
    m_log.seen.clear();
    ASSERT_TRUE(tab->SelectItem(2));
    EXPECT_FALSE(pages[0]->IsVisible());
    EXPECT_FALSE(pages[1]->IsVisible());
    EXPECT_TRUE(pages[2]->IsVisible());
    EXPECT_EQ(pages[2]->GetPos(), (UiRect{0, 0, 100, 100}));
    ASSERT_FALSE(m_log.seen.empty());
    EXPECT_EQ(m_log.seen.back().type, L"tabselect");
    EXPECT_EQ(m_log.seen.back().wParam, 2u);
    EXPECT_EQ(m_log.seen.back().lParam, 0);
    m_log.seen.clear();
    EXPECT_FALSE(tab->SelectItem(3));
    EXPECT_FALSE(tab->SelectItem(-1));
    EXPECT_TRUE(tab->SelectItem(2));
    EXPECT_TRUE(m_log.seen.empty());
}

TEST_F(ContainerTest, TabBookkeepingFollowsInsertsAndRemovals) {
    auto* tab = new CTabLayoutUI;
    m_manager.AttachRoot(tab);
    auto* a = new CControlUI;
    auto* b = new CControlUI;
    tab->Add(a);
    tab->Add(b);
    ASSERT_TRUE(tab->SelectItem(1));
    auto* front = new CControlUI;
    tab->AddAt(front, 0);
    EXPECT_EQ(tab->GetCurSel(), 2);
    EXPECT_TRUE(front->IsVisible());
    tab->RemoveAt(0);
    EXPECT_EQ(tab->GetCurSel(), 1);
    tab->Remove(b);
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(a->IsVisible());
    tab->RemoveAll();
    EXPECT_EQ(tab->GetCurSel(), -1);
    EXPECT_EQ(tab->GetCount(), 0);
}

TEST_F(ContainerTest, BoundButtonSelectsItsTabPage) {
    auto* root = new CVerticalLayoutUI;
    m_manager.AttachRoot(root);
    auto* tab = new CTabLayoutUI;
    tab->SetName(L"tabLyt_Client");
    auto* button = new CButtonUI;
    root->Add(button);
    root->Add(tab);
    tab->Add(new CControlUI);
    tab->Add(new CControlUI);
    m_manager.BindControlTree(tab, root);
    button->BindTabLayout(L"tabLyt_Client", 1);
    EXPECT_EQ(m_manager.FindControl(L"tabLyt_Client"), tab);
    button->Activate();
    EXPECT_EQ(tab->GetCurSel(), 1);
}

TEST_F(ContainerTest, ChildrenPaintOnlyInsideTheContent) {
    auto* root = new CHorizontalLayoutUI;
    m_manager.AttachRoot(root);
    root->SetInset({10, 10, 10, 10});
    root->Add(Colored(0xFFFF0000, 200, 200));  // far larger than the content
    auto* floating = Colored(0xFF0000FF, 10, 10);
    root->Add(floating);
    floating->SetFloat(true);
    floating->SetFixedXY({0, 0});
    root->SetPos({0, 0, 60, 60});
    PaintSurface surface(80, 80);
    root->Paint(surface.Dc(), surface.Bounds(), nullptr);
    EXPECT_EQ(surface.Rgb(30, 30), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(12, 12), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(55, 30), 0xFFFFFFu);  // in the inset: clipped
    EXPECT_EQ(surface.Rgb(70, 70), 0xFFFFFFu);  // outside the container
    EXPECT_EQ(surface.Rgb(2, 2), 0x0000FFu);    // floating: clipped to the container only
}

TEST_F(ContainerTest, PaintOutsideTheUpdateRectangleLeavesPixelsAlone) {
    auto* root = new CVerticalLayoutUI;
    m_manager.AttachRoot(root);
    root->Add(Colored(0xFF00FF00));
    root->SetPos({0, 0, 40, 40});
    PaintSurface surface(40, 40);
    root->Paint(surface.Dc(), {0, 0, 20, 40}, nullptr);
    EXPECT_EQ(surface.Rgb(5, 5), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(30, 5), 0xFFFFFFu);
}

TEST_F(ContainerTest, HitTestFindsTheTopmostMouseEnabledControl) {
    auto* root = new CVerticalLayoutUI;
    m_manager.AttachRoot(root);
    auto* row = new CHorizontalLayoutUI;
    auto* button = new CButtonUI;
    root->Add(row);
    row->Add(button);
    row->Add(new CControlUI);
    button->SetFixedWidth(20);
    root->SetPos({0, 0, 100, 100});
    root->SetMouseEnabled(false);
    const auto at = [&](UiPoint p) {
        return root->FindControl([](CControlUI* c, void*) -> CControlUI* { return c; }, &p,
                                 UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
    };
    EXPECT_EQ(at({5, 5}), button);
    EXPECT_EQ(at({50, 5}), row->GetItemAt(1));
    button->SetMouseEnabled(false);
    EXPECT_EQ(at({5, 5}), row);
    row->SetMouseEnabled(false);
    EXPECT_EQ(at({5, 5}), nullptr);
}

TEST_F(ContainerTest, RemovedChildrenAreDeletedLaterAndForgotten) {
    auto* root = new CVerticalLayoutUI;
    m_manager.AttachRoot(root);
    auto* named = new CControlUI;
    named->SetName(L"gone");
    root->Add(named);
    EXPECT_EQ(m_manager.FindControl(L"gone"), named);
    root->Remove(named);
    EXPECT_EQ(m_manager.FindControl(L"gone"), nullptr);
    m_manager.DrainNotificationQueue();
    EXPECT_EQ(root->GetCount(), 0);
    auto* kept = new CControlUI;
    root->Add(kept);
    root->Remove(kept, /*doNotDestroy=*/true);
    delete kept;
}

}  // namespace
}  // namespace tessel
