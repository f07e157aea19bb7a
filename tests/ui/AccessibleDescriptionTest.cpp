// What a control is to an accessibility client, decided without a window: roles from the class or
// the markup, names and their fallbacks, states inherited from containers, values, default
// actions; and the child ids a client may hold for as long as it likes.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "ui/AccessibleChildIds.h"
#include "ui/AccessibleDescription.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/EditUI.h"
#include "ui/LabelUI.h"
#include "ui/ProgressUI.h"
#include "ui/VerticalLayoutUI.h"

namespace tessel {
namespace {

TEST(AccessibleRoleTest, MarkupNamesAreMatchedWithoutCaseAndUnknownOnesLeaveTheClassToDecide) {
    EXPECT_EQ(ParseAccessibleRole(L"Link"), AccessibleRole::Link);
    EXPECT_EQ(ParseAccessibleRole(L"PUSHBUTTON"), AccessibleRole::PushButton);
    EXPECT_EQ(ParseAccessibleRole(L"none"), AccessibleRole::None);
    EXPECT_EQ(ParseAccessibleRole(L""), std::nullopt);
    EXPECT_EQ(ParseAccessibleRole(L"link "), std::nullopt);
    EXPECT_EQ(ParseAccessibleRole(L"button"), std::nullopt);

    CButtonUI button;
    EXPECT_EQ(RoleOf(button), AccessibleRole::PushButton);
    button.SetAttribute(L"accessiblerole", L"link");
    EXPECT_EQ(RoleOf(button), AccessibleRole::Link);
    button.SetAttribute(L"accessiblerole", L"sparkle");
    EXPECT_EQ(RoleOf(button), AccessibleRole::PushButton) << "an unknown role is ignored";

    CLabelUI label;
    EXPECT_EQ(RoleOf(label), AccessibleRole::None) << "a label without text is decoration";
    label.SetText(L"Folder:");
    EXPECT_EQ(RoleOf(label), AccessibleRole::StaticText);
    label.SetAttribute(L"accessiblerole", L"none");
    EXPECT_EQ(RoleOf(label), AccessibleRole::None);

    COptionUI grouped;
    grouped.SetGroup(L"size");
    COptionUI alone;
    EXPECT_EQ(RoleOf(grouped), AccessibleRole::RadioButton);
    EXPECT_EQ(RoleOf(alone), AccessibleRole::CheckButton) << "an option without a group toggles";
    CProgressUI progress;
    EXPECT_EQ(RoleOf(progress), AccessibleRole::ProgressBar);
    CControlUI plain;
    EXPECT_EQ(RoleOf(plain), AccessibleRole::None);
}

TEST(AccessibleRoleTest, PercentOfTheRangeIsRoundedDownAndBoundedWhateverTheNumbers) {
    struct Case {
        int value, minimum, maximum;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {50, 0, 200, L"25%"},
        {1, 0, 3, L"33%"},
        {100, 0, 100, L"100%"},
        {0, 0, 0, L"0%"},   // empty range
        {5, 10, 0, L"0%"},  // inverted range
        {-5, 0, 10, L"0%"},
        {15, 0, 10, L"100%"},
        {INT_MAX, INT_MIN, INT_MAX, L"100%"},
        {0, INT_MIN, INT_MAX, L"50%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " in " << c.minimum << ".." << c.maximum);
        EXPECT_EQ(PercentText(c.value, c.minimum, c.maximum), c.expected);
    }
}

// A windowless page: a container holding the controls given, which it owns.
class AccessibleDescriptionTest : public ::testing::Test {
protected:
    template <typename T>
    T* Add(const wchar_t* attributes = L"") {
        auto* control = new T();
        control->ApplyAttributeList(attributes);
        page.Add(control);
        exposed.push_back(control);
        return control;
    }
    AccessibleDescription Describe(CControlUI* control) {
        return DescribeControl(*control, exposed);
    }

    CVerticalLayoutUI page;
    std::vector<CControlUI*> exposed;
};

TEST_F(AccessibleDescriptionTest, NamesComeFromTheMarkupTheTextOrTheTooltipInThatOrder) {
    auto* named = Add<CButtonUI>(LR"(text="Go" tooltip="Start it" accessiblename="Start")");
    auto* texted = Add<CButtonUI>(LR"(text="Go" tooltip="Start it")");
    auto* glyph = Add<CButtonUI>(LR"(tooltip="Close")");
    auto* bare = Add<CButtonUI>();
    EXPECT_EQ(Describe(named).name, L"Start");
    EXPECT_EQ(Describe(texted).name, L"Go");
    EXPECT_EQ(Describe(glyph).name, L"Close");
    EXPECT_EQ(Describe(bare).name, L"");
    EXPECT_EQ(Describe(bare).defaultAction, L"Press") << "unnamed, it still does something";
}

TEST_F(AccessibleDescriptionTest, EditBoxesAndProgressBarsAreNamedByTheNearestStaticText) {
    auto* first = Add<CEditUI>(LR"(text="before any label")");
    Add<CLabelUI>(LR"(text="Folder:")");
    Add<CButtonUI>(LR"(text="Not a label")");
    auto* edit = Add<CEditUI>(LR"(text="C:\Data")");
    auto* progress = Add<CProgressUI>(LR"(value="30")");
    auto* secret = Add<CEditUI>(LR"(text="hunter2" password="true" accessiblename="Password")");
    Add<CLabelUI>(LR"(text="Status")");

    EXPECT_EQ(Describe(first).name, L"Folder:") << "no text before it: the one after";
    EXPECT_EQ(Describe(edit).name, L"Folder:");
    EXPECT_EQ(Describe(edit).value, L"C:\\Data");
    EXPECT_EQ(Describe(edit).defaultAction, L"");
    EXPECT_EQ(Describe(progress).name, L"Folder:");
    EXPECT_EQ(Describe(progress).value, L"30%");
    EXPECT_EQ(Describe(secret).name, L"Password");
    EXPECT_EQ(Describe(secret).value, std::nullopt) << "a password is never told";
    EXPECT_NE(Describe(secret).states & kAccessibleProtected, 0u);
}

TEST_F(AccessibleDescriptionTest, StatesFollowTheControlAndItsContainers) {
    auto* box = Add<CCheckBoxUI>(LR"(text="Agree" selected="true")");
    EXPECT_EQ(Describe(box).states, kAccessibleFocusable | kAccessibleChecked);
    EXPECT_EQ(Describe(box).defaultAction, L"Uncheck");
    box->SetSelected(false);
    EXPECT_EQ(Describe(box).states, kAccessibleFocusable);
    EXPECT_EQ(Describe(box).defaultAction, L"Check");

    auto* keyless = Add<CButtonUI>(LR"(text="Close" keyboard="false")");
    EXPECT_EQ(Describe(keyless).states & kAccessibleFocusable, 0u) << "not a tab stop";

    // A disabled or hidden container passes it on to every control inside.
    page.SetEnabled(false);
    EXPECT_EQ(Describe(box).states, kAccessibleUnavailable);
    EXPECT_EQ(Describe(box).defaultAction, L"") << "an unavailable control does nothing";
    page.SetEnabled(true);
    page.SetVisible(false);
    EXPECT_NE(Describe(box).states & kAccessibleInvisible, 0u);
}

TEST(AccessibleChildIdsTest, AnIdNamesOneControlForGoodAndIsNeverGivenAgain) {
    AccessibleChildIds ids;
    EXPECT_EQ(ids.IdOf(nullptr), 0);
    auto first = std::make_unique<CControlUI>();
    auto second = std::make_unique<CControlUI>();
    const long a = ids.IdOf(first.get());
    const long b = ids.IdOf(second.get());
    EXPECT_GT(a, 0);
    EXPECT_GT(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(ids.IdOf(first.get()), a) << "asked again, the same id";
    EXPECT_EQ(ids.ControlOf(a), first.get());
    EXPECT_EQ(ids.ControlOf(0), nullptr);
    EXPECT_EQ(ids.ControlOf(-1), nullptr);
    EXPECT_EQ(ids.ControlOf(b + 1), nullptr);

    // A forgotten control's id names nothing, even once a new control lives at its address.
    ids.Forget(first.get());
    EXPECT_EQ(ids.ControlOf(a), nullptr);
    const long again = ids.IdOf(first.get());
    EXPECT_NE(again, a);
    EXPECT_NE(again, b);
    EXPECT_EQ(ids.ControlOf(b), second.get());

    ids.ForgetAll();
    EXPECT_EQ(ids.ControlOf(b), nullptr);
    EXPECT_GT(ids.IdOf(second.get()), again) << "ids keep counting after ForgetAll";
}

}  // namespace
}  // namespace tessel
