// Attribute tables: names found without regard to case, a derived class's table asked before its
// base's, and the controls' own tables (every name once per chain, unknown names kept, styles
// expanded in place, the size constraints' shared rules).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/AttributeTable.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/EditUI.h"
#include "ui/HorizontalLayoutUI.h"
#include "ui/LabelUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/ProgressUI.h"
#include "ui/TabLayoutUI.h"
#include "ui/VerticalLayoutUI.h"

namespace tessel {
namespace {

// ---- the table on its own -----------------------------------------------------------------

struct Shape {
    std::vector<std::wstring> calls;
};
struct Box : Shape {};

using ShapeTable = AttributeTable<Shape>;

void Record(Shape& shape, std::wstring_view setter, std::wstring_view value) {
    shape.calls.push_back(std::wstring(setter) + L"=" + std::wstring(value));
}

const ShapeTable& ShapeAttributes() {
    static const auto table = ShapeTable::Of<Shape>(
        nullptr,
        {
            {L"width", [](Shape& s, std::wstring_view v) { Record(s, L"shape.width", v); }},
            {L"Color", [](Shape& s, std::wstring_view v) { Record(s, L"shape.color", v); }},
        });
    return table;
}

const ShapeTable& BoxAttributes() {
    static const auto table = ShapeTable::Of<Box>(
        &ShapeAttributes(),
        {
            {L"depth", [](Box& b, std::wstring_view v) { Record(b, L"box.depth", v); }},
            {L"WIDTH", [](Box& b, std::wstring_view v) { Record(b, L"box.width", v); }},
        });
    return table;
}

bool Apply(const ShapeTable& table, Shape& target, std::wstring_view name,
           std::wstring_view value) {
    const ShapeTable::Setter* set = table.Find(name);
    if (set != nullptr) {
        (*set)(target, value);
    }
    return set != nullptr;
}

TEST(AttributeTableTest, NamesMatchWithoutRegardToLetterCaseOnly) {
    Shape shape;
    for (const wchar_t* name : {L"width", L"WIDTH", L"wIdTh", L"color", L"COLOR"}) {
        SCOPED_TRACE(testing::Message() << "name '" << name << "'");
        EXPECT_TRUE(Apply(ShapeAttributes(), shape, name, L"1"));
    }
    for (const wchar_t* name : {L"", L"widt", L"widths", L"width ", L"colour", L"depth"}) {
        SCOPED_TRACE(testing::Message() << "name '" << name << "'");
        EXPECT_FALSE(Apply(ShapeAttributes(), shape, name, L"1"));
    }
    EXPECT_EQ(shape.calls.size(), 5u);
}

TEST(AttributeTableTest, DerivedSetterComesBeforeTheBasesAndTheBaseAnswersTheRest) {
    Box box;
    EXPECT_TRUE(Apply(BoxAttributes(), box, L"Width", L"3"));
    EXPECT_TRUE(Apply(BoxAttributes(), box, L"depth", L"4"));
    EXPECT_TRUE(Apply(BoxAttributes(), box, L"color", L"red"));
    EXPECT_FALSE(Apply(BoxAttributes(), box, L"height", L"5"));
    EXPECT_EQ(box.calls,
              (std::vector<std::wstring>{L"box.width=3", L"box.depth=4", L"shape.color=red"}));
    // The base's table alone still has its own setter.
    EXPECT_TRUE(Apply(ShapeAttributes(), box, L"width", L"6"));
    EXPECT_EQ(box.calls.back(), L"shape.width=6");
    EXPECT_EQ(BoxAttributes().OwnNames(), (std::vector<std::wstring_view>{L"depth", L"WIDTH"}));
}

// ---- the controls' tables -----------------------------------------------------------------

class ControlAttributeTableTest : public ::testing::Test {
protected:
    template <typename T>
    T* Attach(T* control) {
        m_manager.AttachRoot(control);
        control->SetPos({0, 0, 10, 10}, false);
        return control;
    }

    CPaintManagerUI m_manager;
};

// Reaches a control class's own table.
template <typename Control>
struct TableOf : Control {
    static std::vector<std::wstring_view> Names() {
        TableOf probe;
        return probe.Attributes().OwnNames();
    }
};

TEST_F(ControlAttributeTableTest, NoNameIsRegisteredTwiceAlongAClassChain) {
    const std::vector<std::vector<std::vector<std::wstring_view>>> chains = {
        {TableOf<CCheckBoxUI>::Names(), TableOf<COptionUI>::Names(), TableOf<CButtonUI>::Names(),
         TableOf<CLabelUI>::Names(), TableOf<CControlUI>::Names()},
        {TableOf<CEditUI>::Names(), TableOf<CLabelUI>::Names(), TableOf<CControlUI>::Names()},
        {TableOf<CProgressUI>::Names(), TableOf<CLabelUI>::Names(), TableOf<CControlUI>::Names()},
        {TableOf<CHorizontalLayoutUI>::Names(), TableOf<CContainerUI>::Names(),
         TableOf<CControlUI>::Names()},
        {TableOf<CVerticalLayoutUI>::Names(), TableOf<CContainerUI>::Names(),
         TableOf<CControlUI>::Names()},
        {TableOf<CTabLayoutUI>::Names(), TableOf<CContainerUI>::Names(),
         TableOf<CControlUI>::Names()},
    };
    for (size_t i = 0; i < chains.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "chain " << i);
        std::vector<std::wstring> all;
        for (const auto& level : chains[i]) {
            for (std::wstring_view name : level) {
                all.push_back(ToLowerAscii(name));
            }
        }
        std::sort(all.begin(), all.end());
        const auto twice = std::adjacent_find(all.begin(), all.end());
        if (twice != all.end()) {
            ADD_FAILURE() << "registered twice: " << *twice;
        }
    }
}

TEST_F(ControlAttributeTableTest, DerivedAndBaseNamesAreFoundInAnyCase) {
    auto* box = Attach(new CCheckBoxUI);
    box->SetAttribute(L"enableautocheck", L"TRUE");
    box->SetAttribute(L"SELECTED", L"true");
    box->SetAttribute(L"TextColor", L"#FF102030");
    box->SetAttribute(L"MinWidth", L"12");
    EXPECT_TRUE(box->IsAutoCheck());
    EXPECT_TRUE(box->IsSelected());
    EXPECT_EQ(box->GetTextColor(), 0xFF102030u);
    EXPECT_EQ(box->GetMinWidth(), 12);
    EXPECT_EQ(box->GetCustomAttribute(L"MinWidth"), L"");

    // The same name in two unrelated classes reaches each class's own setter.
    auto* edit = new CEditUI;
    auto* button = new CButtonUI;
    auto* row = Attach(new CHorizontalLayoutUI);
    row->Add(edit);
    row->Add(button);
    edit->SetAttribute(L"NormalImage", L"file='edit.png'");
    button->SetAttribute(L"NormalImage", L"file='button.png'");
    EXPECT_EQ(button->GetNormalImage(), L"file='button.png'");
    EXPECT_EQ(edit->GetCustomAttribute(L"NormalImage"), L"");
}

TEST_F(ControlAttributeTableTest, SubclassTableTakesOverABaseNameAndKeepsTheRest) {
    // Doubles its width attribute; everything else is a label's.
    class WideLabel final : public CLabelUI {
    protected:
        const ControlAttributes& Attributes() const override {
            static const auto table = ControlAttributes::Of<WideLabel>(
                &CLabelUI::Attributes(), {{L"width", [](WideLabel& c, std::wstring_view v) {
                                               c.SetFixedWidth(2 * ParseInt(v));
                                           }}});
            return table;
        }
    };
    auto* label = Attach(new WideLabel);
    label->SetAttribute(L"WIDTH", L"10");
    label->SetAttribute(L"height", L"7");
    label->SetAttribute(L"font", L"3");
    label->SetAttribute(L"mystery", L"kept");
    EXPECT_EQ(label->GetFixedWidth(), 20);
    EXPECT_EQ(label->GetFixedHeight(), 7);
    EXPECT_EQ(label->GetFont(), 3);
    EXPECT_EQ(label->GetCustomAttribute(L"mystery"), L"kept");
}

TEST_F(ControlAttributeTableTest, UnknownNamesAreKeptAsWrittenAndIgnoredNamesAreNot) {
    auto* layout = Attach(new CVerticalLayoutUI);
    layout->SetAttribute(L"Unknown", L"kept");
    layout->SetAttribute(L"vscrollbar", L"true");
    layout->SetAttribute(L"sepwidth", L"4");
    EXPECT_EQ(layout->GetCustomAttribute(L"Unknown"), L"kept");
    EXPECT_EQ(layout->GetCustomAttribute(L"unknown"), L"") << "custom names keep their case";
    EXPECT_EQ(layout->GetCustomAttribute(L"vscrollbar"), L"") << "known, and ignored";
    EXPECT_EQ(layout->GetCustomAttribute(L"sepwidth"), L"4") << "a horizontal layout's name";
}

TEST_F(ControlAttributeTableTest, PositionAttributesAndNegativeSizes) {
    auto* control = Attach(new CControlUI);
    control->SetAttribute(L"width", L"371");
    control->SetAttribute(L"height", L"73");
    control->SetAttribute(L"pos", L"170,86");
    EXPECT_EQ(control->GetFixedXY(), (UiSize{170, 86}));
    EXPECT_EQ(control->GetFixedWidth(), 371);
    EXPECT_EQ(control->GetFixedHeight(), 73);
    control->SetAttribute(L"pos", L"-1,5,20,-7");
    EXPECT_EQ(control->GetFixedXY(), (UiSize{20, 5}));
    EXPECT_EQ(control->GetFixedWidth(), 21);
    control->SetAttribute(L"width", L"-4");
    EXPECT_EQ(control->GetFixedWidth(), 21);
}

TEST_F(ControlAttributeTableTest, SizeConstraintsIgnoreNegativesAndRelayoutOnlyOnChange) {
    struct Constraint {
        const wchar_t* name;
        int (CControlUI::*get)() const;
    };
    const Constraint constraints[] = {
        {L"width", &CControlUI::GetFixedWidth},  {L"height", &CControlUI::GetFixedHeight},
        {L"minwidth", &CControlUI::GetMinWidth}, {L"minheight", &CControlUI::GetMinHeight},
        {L"maxwidth", &CControlUI::GetMaxWidth}, {L"maxheight", &CControlUI::GetMaxHeight},
    };
    auto* parent = Attach(new CVerticalLayoutUI);
    auto* child = new CControlUI;
    parent->Add(child);
    for (const Constraint& constraint : constraints) {
        SCOPED_TRACE(testing::Message() << constraint.name);
        child->SetAttribute(constraint.name, L"40");
        EXPECT_EQ((child->*constraint.get)(), 40);
        parent->SetPos({0, 0, 100, 100}, false);
        ASSERT_FALSE(parent->IsUpdateNeeded());
        child->SetAttribute(constraint.name, L"-3");
        child->SetAttribute(constraint.name, L"40");
        EXPECT_EQ((child->*constraint.get)(), 40);
        EXPECT_FALSE(parent->IsUpdateNeeded()) << "nothing changed, nothing to place again";
        child->SetAttribute(constraint.name, L"0");
        EXPECT_EQ((child->*constraint.get)(), 0);
        EXPECT_TRUE(parent->IsUpdateNeeded()) << "the parent places its children again";
    }
}

TEST_F(ControlAttributeTableTest, StyleNamesExpandWhereverTheyStand) {
    m_manager.AddStyle(L"style_btn_1",
                       L"width=\"98\" height=\"30\" textcolor=\"#FFFFFFFF\" statecount=\"4\" ",
                       false);
    auto* button = Attach(new CButtonUI);
    button->SetAttribute(L"width", L"10");
    button->SetAttribute(L"style", L"style_btn_1");
    button->SetAttribute(L"height", L"5");
    EXPECT_EQ(button->GetFixedWidth(), 98);
    EXPECT_EQ(button->GetFixedHeight(), 5);
    EXPECT_EQ(button->GetTextColor(), 0xFFFFFFFFu);
    // Any attribute whose value names a style is replaced by it.
    button->SetAttribute(L"text", L"style_btn_1");
    EXPECT_EQ(button->GetText(), L"");
    EXPECT_EQ(button->GetFixedHeight(), 30);
    EXPECT_EQ(button->GetCustomAttribute(L"style"), L"");
}

TEST_F(ControlAttributeTableTest, StyleNamingItselfDoesNotRecurseForever) {
    m_manager.AddStyle(L"loop", L"width=\"loop\" ", false);
    auto* control = Attach(new CControlUI);
    control->SetAttribute(L"style", L"loop");
    EXPECT_EQ(control->GetFixedWidth(), 0);
}

}  // namespace
}  // namespace tessel
