// Which page of a tab layout is shown as pages are added and selected.
#include <gtest/gtest.h>

#include "ui/TabLayoutUI.h"
#include "ui/VerticalLayoutUI.h"

namespace tessel {
namespace {

TEST(TabLayoutPagesTest, FirstVisiblePageAddedIsShownAndTheRestHidden) {
    CTabLayoutUI tabs;
    auto* first = new CVerticalLayoutUI();
    auto* second = new CVerticalLayoutUI();
    auto* third = new CVerticalLayoutUI();
    ASSERT_TRUE(tabs.Add(first));
    ASSERT_TRUE(tabs.Add(second));
    ASSERT_TRUE(tabs.Add(third));
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_TRUE(first->IsVisible()) << "the shown page must not be hidden by its own Add";
    EXPECT_FALSE(second->IsVisible());
    EXPECT_FALSE(third->IsVisible());

    tabs.SetPos({0, 0, 100, 50}, false);
    EXPECT_EQ(first->GetPos(), (UiRect{0, 0, 100, 50}));

    ASSERT_TRUE(tabs.SelectItem(2));
    EXPECT_EQ(tabs.GetCurSel(), 2);
    EXPECT_FALSE(first->IsVisible());
    EXPECT_TRUE(third->IsVisible());
    EXPECT_EQ(third->GetPos(), (UiRect{0, 0, 100, 50}));
    EXPECT_FALSE(tabs.SelectItem(3));
    EXPECT_EQ(tabs.GetCurSel(), 2);
}

TEST(TabLayoutPagesTest, HiddenLeadingPageLeavesTheChoiceToTheNextVisibleOne) {
    CTabLayoutUI tabs;
    auto* hidden = new CVerticalLayoutUI();
    hidden->SetVisible(false);
    auto* shown = new CVerticalLayoutUI();
    ASSERT_TRUE(tabs.Add(hidden));
    ASSERT_TRUE(tabs.Add(shown));
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_TRUE(shown->IsVisible());
    EXPECT_FALSE(hidden->IsVisible());
}

}  // namespace
}  // namespace tessel
