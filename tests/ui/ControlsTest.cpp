#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/ui/UiTestSupport.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/EditUI.h"
#include "ui/HorizontalLayoutUI.h"
#include "ui/LabelUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/ProgressUI.h"
#include "ui/TextUI.h"

namespace tessel {
namespace {

using testing_support::MakeBandsPng;
using testing_support::PaintSurface;
using testing_support::TestPackage;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kYellow = 0xFFFFFF00;
constexpr uint32_t kGray = 0xFF808080;

// Records every notification as (type, wParam), in order.
struct NotifyLog final : INotifyUI {
    std::vector<std::pair<std::wstring, uintptr_t>> seen;
    void Notify(NotifyRecord& n) override { seen.emplace_back(n.type, n.wParam); }
    bool Saw(std::wstring_view type) const {
        for (const auto& s : seen) {
            if (s.first == type) {
                return true;
            }
        }
        return false;
    }
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_package.Add("Common/strip4.png", MakeBandsPng({kRed, kGreen, kBlue, kYellow}, 150, 40));
        m_package.Add("Common/strip3.png", MakeBandsPng({kRed, kGreen, kBlue}, 80, 36));
        m_package.Add("Common/uncheck.png", MakeBandsPng({kGray}, 16, 16));
        m_package.Add("Common/check.png", MakeBandsPng({kGreen}, 16, 16));
        m_package.Add("Common/fore.png", MakeBandsPng({kRed}, 40, 12));
        m_package.Open();
        m_manager.AddNotifier(&m_log);
    }

    // Attaches `control` as the root, places it and paints it into `surface`.
    template <typename T>
    T* Attach(T* control, const UiRect& pos) {
        m_manager.AttachRoot(control);
        control->SetPos(pos, false);
        return control;
    }
    void Paint(CControlUI* control, PaintSurface& surface) {
        surface.Fill(0xFFFFFFFF);
        control->Paint(surface.Dc(), surface.Bounds(), nullptr);
    }
    void Send(CControlUI* control, int kind, UiPoint at = {}, wchar_t key = 0) {
        EventRecord event;
        event.kind = kind;
        event.sender = control;
        event.mouse = at;
        event.key = key;
        control->Event(event);
    }

    TestPackage m_package;
    CPaintManagerUI m_manager;
    NotifyLog m_log;
};

TEST_F(ControlsTest, FourFrameStripShowsTheFrameOfEachState) {
    auto* button = Attach(new CButtonUI, {0, 0, 150, 40});
    button->SetAttribute(L"stateimage", L"Common\\strip4.png");
    button->SetAttribute(L"statecount", L"4");
    PaintSurface surface(160, 50);
    struct Step {
        const char* state;
        int event;
        uint32_t rgb;
    };
    const Step steps[] = {{"normal", 0, 0xFF0000},
                          {"hot", EVT_MOUSEENTER, 0x00FF00},
                          {"pushed", EVT_BUTTONDOWN, 0x0000FF}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.state);
        if (step.event != 0) {
            Send(button, step.event, {75, 20});
        }
        Paint(button, surface);
        EXPECT_EQ(surface.Rgb(2, 20), step.rgb);
        EXPECT_EQ(surface.Rgb(147, 38), step.rgb);
        EXPECT_EQ(surface.Rgb(152, 20), 0xFFFFFFu);
    }
    button->SetEnabled(false);
    Paint(button, surface);
    EXPECT_EQ(surface.Rgb(75, 20), 0xFFFF00u);
}

TEST_F(ControlsTest, ThreeFrameStripPushedShowsTheThirdFrame) {
    auto* button = Attach(new CButtonUI, {0, 0, 80, 36});
    button->SetAttribute(L"stateimage", L"Common\\strip3.png");
    button->SetAttribute(L"statecount", L"3");
    PaintSurface surface(80, 36);
    Send(button, EVT_BUTTONDOWN, {10, 10});
    Paint(button, surface);
    EXPECT_EQ(surface.Rgb(1, 1), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(78, 34), 0x0000FFu);
    EXPECT_EQ(button->GetPushedImage(),
              L"res='Common\\strip3.png' restype='' dest='0,0,0,0' source='160,0,240,36'");
}

TEST_F(ControlsTest, ClickNeedsPressAndReleaseInside) {
    auto* button = Attach(new CButtonUI, {10, 10, 60, 40});
    Send(button, EVT_BUTTONDOWN, {20, 20});
    Send(button, EVT_MOUSEMOVE, {100, 100});
    EXPECT_EQ(button->GetButtonState() & UISTATE_PUSHED, 0u);
    Send(button, EVT_BUTTONUP, {100, 100});
    EXPECT_FALSE(m_log.Saw(L"click"));
    Send(button, EVT_BUTTONDOWN, {20, 20});
    Send(button, EVT_BUTTONUP, {21, 21});
    EXPECT_TRUE(m_log.Saw(L"click"));
    m_log.seen.clear();
    Send(button, EVT_KEYDOWN, {}, VK_SPACE);
    EXPECT_TRUE(m_log.Saw(L"click"));
    m_log.seen.clear();
    button->SetKeyboardEnabled(false);
    Send(button, EVT_KEYDOWN, {}, VK_RETURN);
    EXPECT_FALSE(m_log.Saw(L"click"));
}

TEST_F(ControlsTest, CheckBoxShowsItsSelectedImageAndReportsTheNewState) {
    auto* box = Attach(new CCheckBoxUI, {0, 0, 100, 20});
    box->SetAttribute(L"normalimage", L"file='Common\\uncheck.png' dest='0,3,16,19'");
    box->SetAttribute(L"selectedimage", L"file='Common\\check.png' dest='0,3,16,19'");
    box->SetAttribute(L"selected", L"true");
    m_log.seen.clear();
    PaintSurface surface(100, 20);
    Paint(box, surface);
    EXPECT_EQ(surface.Rgb(8, 10), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(8, 1), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(20, 10), 0xFFFFFFu);

    Send(box, EVT_BUTTONDOWN, {5, 5});
    Send(box, EVT_BUTTONUP, {5, 5});
    ASSERT_EQ(m_log.seen.size(), 2u);
    EXPECT_EQ(m_log.seen[0].first, L"click");
    EXPECT_EQ(m_log.seen[1], (std::pair<std::wstring, uintptr_t>{L"selectchanged", 0}));
    Paint(box, surface);
    EXPECT_EQ(surface.Rgb(8, 10), 0x808080u);

    m_log.seen.clear();
    box->SetSelected(true);
    EXPECT_EQ(m_log.seen.back(), (std::pair<std::wstring, uintptr_t>{L"selectchanged", 1}));
}

TEST_F(ControlsTest, GroupedOptionsExcludeEachOther) {
    auto* row = Attach(new CHorizontalLayoutUI, {0, 0, 100, 20});
    auto* first = new COptionUI;
    auto* second = new COptionUI;
    row->Add(first);
    row->Add(second);
    first->SetGroup(L"g");
    second->SetGroup(L"g");
    first->SetSelected(true);
    second->Activate();
    EXPECT_FALSE(first->IsSelected());
    EXPECT_TRUE(second->IsSelected());
    second->Activate();
    EXPECT_TRUE(second->IsSelected());
}

TEST_F(ControlsTest, OptionLeavesItsGroupWithItsManager) {
    auto option = std::make_unique<COptionUI>();
    option->SetManager(&m_manager, nullptr, false);
    option->SetAttribute(L"group", L"g");
    ASSERT_NE(m_manager.GetOptionGroup(L"g"), nullptr);
    option->SetManager(nullptr, nullptr, false);
    EXPECT_EQ(m_manager.GetOptionGroup(L"g"), nullptr);
    option.reset();
    auto* other = Attach(new COptionUI, {0, 0, 10, 10});
    other->SetGroup(L"g");
    other->SetSelected(true);
    EXPECT_EQ(m_manager.GetOptionGroup(L"g")->size(), 1u);
}

TEST_F(ControlsTest, ProgressFillsItsValueShare) {
    auto* progress = Attach(new CProgressUI, {0, 0, 200, 12});
    progress->SetAttribute(L"foreimage", L"file='Common\\fore.png'");
    progress->SetAttribute(L"value", L"50");
    PaintSurface surface(200, 12);
    Paint(progress, surface);
    EXPECT_EQ(surface.Rgb(0, 6), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(99, 6), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(100, 6), 0xFFFFFFu);
    progress->SetValue(150);
    EXPECT_EQ(progress->GetValue(), 50);
    progress->SetValue(100);
    Paint(progress, surface);
    EXPECT_EQ(surface.Rgb(199, 6), 0xFF0000u);
    progress->SetValue(0);
    Paint(progress, surface);
    EXPECT_EQ(surface.Rgb(0, 6), 0xFFFFFFu);
}

TEST_F(ControlsTest, ProgressRepairsAnInvertedRange) {
    auto* progress = Attach(new CProgressUI, {0, 0, 200, 12});
    progress->SetMinValue(10);
    progress->SetMaxValue(5);
    EXPECT_EQ(progress->FilledPart(), (UiRect{0, 0, 0, 12}));
    EXPECT_EQ(progress->GetMaxValue(), 11);
}

TEST_F(ControlsTest, LabelMeasuresItsTextOnlyWhenAsked) {
    auto* row = Attach(new CHorizontalLayoutUI, {0, 0, 400, 20});
    auto* label = new CLabelUI;
    row->Add(label);
    label->SetText(L"Create a desktop shortcut");
    label->SetAttribute(L"textpadding", L"24,0");
    const UiSize plain = label->MeasureSize({400, 20});
    EXPECT_EQ(plain.cx, 0);
    EXPECT_GT(plain.cy, 8);
    label->SetAttribute(L"autocalcwidth", L"true");
    label->SetAttribute(L"height", L"20");
    const UiSize measured = label->MeasureSize({400, 20});
    EXPECT_GT(measured.cx, 24 + 40);
    EXPECT_LT(measured.cx, 400);
    EXPECT_EQ(measured.cy, 20);

    auto* text = new CTextUI;
    row->Add(text);
    text->SetText(L"A longer message that wraps at word boundaries in a narrow box");
    text->SetAttribute(L"width", L"100");
    text->SetAttribute(L"autocalcheight", L"true");
    EXPECT_EQ(text->MeasureSize({400, 400}), (UiSize{100, 0}));
    text->SetAttribute(L"autocalcwidth", L"true");
    EXPECT_GT(text->MeasureSize({400, 400}).cx, 100);
}

TEST_F(ControlsTest, EditShowsTipTextOrMaskedText) {
    auto* edit = Attach(new CEditUI, {0, 0, 200, 30});
    PaintSurface surface(200, 30);
    Paint(edit, surface);
    EXPECT_EQ(surface.CountChanged(surface.Bounds(), 0xFFFFFFFF), 0);
    edit->SetAttribute(L"tipvalue", L"Choose a folder");
    Paint(edit, surface);
    const int tip = surface.CountChanged(surface.Bounds(), 0xFFFFFFFF);
    EXPECT_GT(tip, 0);
    edit->SetText(L"C:\\Program Files");
    edit->SetAttribute(L"password", L"true");
    Paint(edit, surface);
    EXPECT_GT(surface.CountChanged(surface.Bounds(), 0xFFFFFFFF), 0);
    EXPECT_EQ(edit->GetControlFlags(), UIFLAG_TABSTOP | UIFLAG_SETCURSOR);
    Send(edit, EVT_MOUSEENTER);
    EXPECT_TRUE(edit->IsHot());
}

TEST_F(ControlsTest, ClassAndInterfaceNames) {
    struct Case {
        CControlUI* control;
        std::wstring_view className;
        std::wstring_view interfaceName;
    };
    std::unique_ptr<CControlUI> owned[] = {
        std::make_unique<CControlUI>(), std::make_unique<CLabelUI>(),
        std::make_unique<CTextUI>(),    std::make_unique<CButtonUI>(),
        std::make_unique<COptionUI>(),  std::make_unique<CCheckBoxUI>(),
        std::make_unique<CEditUI>(),    std::make_unique<CProgressUI>()};
    const std::pair<std::wstring_view, std::wstring_view> names[] = {
        {L"ControlUI", L"Control"}, {L"LabelUI", L"Label"},      {L"TextUI", L"Text"},
        {L"ButtonUI", L"Button"},   {L"OptionUI", L"Option"},    {L"CheckBoxUI", L"CheckBox"},
        {L"EditUI", L"Edit"},       {L"ProgressUI", L"Progress"}};
    for (size_t i = 0; i < std::size(names); ++i) {
        SCOPED_TRACE(testing::Message() << "class " << i);
        EXPECT_EQ(owned[i]->GetClass(), names[i].first);
        EXPECT_EQ(owned[i]->QueryInterfaceByName(names[i].second), owned[i].get());
        EXPECT_EQ(owned[i]->QueryInterfaceByName(L"Control"), owned[i].get());
        EXPECT_EQ(owned[i]->QueryInterfaceByName(L"IContainer"), nullptr);
    }
}

}  // namespace
}  // namespace tessel
