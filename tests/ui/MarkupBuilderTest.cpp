#include "ui/MarkupBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/ui/UiTestSupport.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/ContainerUI.h"
#include "ui/ControlFactory.h"
#include "ui/LabelUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/TabLayoutUI.h"

namespace tessel {
namespace {

using testing_support::TestPackage;

// The shared style and font files end with a stray "<Windows/>" and never close their root.
const char kCommonXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Windows>\n"
    "\t<Style name=\"style_btn_1\" value=\"width=&quot;98&quot; height=&quot;30&quot; "
    "textcolor=&quot;#FFFFFFFF&quot; statecount=&quot;4&quot; "
    "stateimage=&quot;Common\\btn_Style_3.png&quot; \" />\n<Windows/>";
const char kFontXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Windows>\n"
    "\t<Font id=\"0\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"14\" "
    "default=\"true\" />\n"
    "\t<Font id=\"1\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"20\" />\n"
    "\t<Font id=\"2\" name=\"Tahoma\" size=\"12\" />\n<Windows/>";

class MarkupBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_package.Add("Common.xml", kCommonXml);
        m_package.Add("Font.xml", kFontXml);
        m_package.Add("Loop.xml", "<Window><Include source=\"Loop.xml\"/><Control/></Window>");
        m_package.Add("Broken.xml", "<Window><Control></Window>");
        m_package.Open();
    }
    // Builds `markup` as the window's root and attaches it.
    CControlUI* Build(const std::wstring& markup) {
        CMarkupBuilder builder;
        CControlUI* root = builder.Create(markup, L"", nullptr, &m_manager);
        m_lastError = builder.GetLastErrorMessage();
        if (root != nullptr) {
            m_manager.AttachRoot(root);
        }
        return root;
    }
    template <typename T>
    T* Find(const wchar_t* name) {
        return static_cast<T*>(m_manager.FindControl(name));
    }

    TestPackage m_package;
    CPaintManagerUI m_manager;
    std::wstring m_lastError;
};

TEST_F(MarkupBuilderTest, IncludesBringStylesAndFontsBeforeTheControls) {
    CControlUI* root = Build(
        L"<Window size=\"342,202\"><Include source=\"Common.xml\"/><Include source=\"Font.xml\"/>"
        L"<VerticalLayout><Button name=\"Button1\" style=\"style_btn_1\" text=\"lan_52\" "
        L"pos=\"136,10\" font=\"2\" /></VerticalLayout></Window>");
    ASSERT_NE(root, nullptr) << m_lastError;
    EXPECT_EQ(root->GetClass(), L"VerticalLayoutUI");
    auto* button = Find<CButtonUI>(L"Button1");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetFixedWidth(), 98);
    EXPECT_EQ(button->GetFixedHeight(), 30);
    EXPECT_EQ(button->GetTextColor(), 0xFFFFFFFFu);
    EXPECT_EQ(button->GetFont(), 2);
    EXPECT_EQ(button->GetFixedXY(), (UiSize{136, 10}));
    EXPECT_EQ(m_manager.LookUpFont(1).size, 20);
    EXPECT_EQ(m_manager.LookUpFont(-1).size, 14);
    EXPECT_EQ(m_manager.LookUpFont(2).face, L"Tahoma");
    // The stray <Windows/> elements built nothing: the layout has just the button.
    EXPECT_EQ(static_cast<CContainerUI*>(root)->GetCount(), 1);
}

TEST_F(MarkupBuilderTest, AttributesApplyInDocumentOrderWithStylesExpandedInPlace) {
    ASSERT_NE(Build(L"<Window><Include source=\"Common.xml\"/><HorizontalLayout>"
                    L"<Button name=\"before\" width=\"10\" style=\"style_btn_1\"/>"
                    L"<Button name=\"after\" style=\"style_btn_1\" width=\"10\"/>"
                    L"</HorizontalLayout></Window>"),
              nullptr);
    EXPECT_EQ(Find<CButtonUI>(L"before")->GetFixedWidth(), 98);
    EXPECT_EQ(Find<CButtonUI>(L"after")->GetFixedWidth(), 10);
}

TEST_F(MarkupBuilderTest, ClassDefaultsComeFirst) {
    ASSERT_NE(
        Build(L"<Window><Default name=\"Button\" value=\"height=&quot;33&quot; width=&quot;7&quot; "
              L"\"/>"
              L"<HorizontalLayout><Button name=\"b\" width=\"9\"/></HorizontalLayout></Window>"),
        nullptr);
    EXPECT_EQ(Find<CButtonUI>(L"b")->GetFixedHeight(), 33);
    EXPECT_EQ(Find<CButtonUI>(L"b")->GetFixedWidth(), 9);
}

TEST_F(MarkupBuilderTest, UnknownElementsBuildNothingAndNamesIgnoreCase) {
    CControlUI* root = Build(
        L"<Window><VerticalLayout><Windows/><Res><Button name=\"hidden\"/></Res>"
        L"<checkbox name=\"a\"/><CheckBox name=\"b\"/><CHECKBOX name=\"c\"/>"
        L"<List name=\"notbuilt\"/></VerticalLayout></Window>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(static_cast<CContainerUI*>(root)->GetCount(), 3);
    EXPECT_EQ(m_manager.FindControl(L"hidden"), nullptr);
    EXPECT_EQ(m_manager.FindControl(L"notbuilt"), nullptr);
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        ASSERT_NE(m_manager.FindControl(name), nullptr);
        EXPECT_EQ(m_manager.FindControl(name)->GetClass(), L"CheckBoxUI");
    }
    EXPECT_EQ(CControlFactory::GetInstance().CreateControl(L"CComboUI"), nullptr);
}

TEST_F(MarkupBuilderTest, FailedOrEndlessIncludesContributeNothing) {
    CControlUI* root = Build(
        L"<Window><Include source=\"Absent.xml\"/><Include source=\"Broken.xml\"/>"
        L"<Include/><VerticalLayout name=\"main\"><Include source=\"Loop.xml\"/></VerticalLayout>"
        L"</Window>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), L"main");
    // Each nested level of the self-including file added one control before the depth ran out.
    EXPECT_EQ(static_cast<CContainerUI*>(root)->GetCount(), CMarkupBuilder::kMaxIncludeDepth);
}

TEST_F(MarkupBuilderTest, ChildrenOfAControlThatIsNoContainerAreDropped) {
    CControlUI* root = Build(
        L"<Window><VerticalLayout><Button name=\"b\"><Label name=\"inner\"/></Button>"
        L"<Label name=\"after\"/></VerticalLayout></Window>");
    ASSERT_NE(root, nullptr);
    EXPECT_NE(m_manager.FindControl(L"b"), nullptr);
    EXPECT_EQ(m_manager.FindControl(L"inner"), nullptr);
    EXPECT_NE(m_manager.FindControl(L"after"), nullptr);
}

TEST_F(MarkupBuilderTest, UnreadableMarkupBuildsNothing) {
    CMarkupBuilder builder;
    EXPECT_EQ(builder.Create(L"Missing.xml", L"", nullptr, &m_manager), nullptr);
    EXPECT_EQ(builder.GetLastErrorMessage(), L"Could not find ziped file");
    EXPECT_EQ(builder.Create(L"Broken.xml", L"", nullptr, &m_manager), nullptr);
    EXPECT_EQ(builder.GetLastErrorMessage(), L"Unmatched closing tag");
    EXPECT_EQ(builder.Create(L"<Window a='1'/>", L"", nullptr, &m_manager), nullptr);
    EXPECT_EQ(builder.GetLastErrorMessage(), L"Expected attribute value");
}

TEST_F(MarkupBuilderTest, TabLayoutAndCheckBoxStatesSurviveTheBuild) {
    ASSERT_NE(Build(L"<Window><TabLayout name=\"tab\"><VerticalLayout><CheckBox name=\"c\" "
                    L"selected=\"true\"/></VerticalLayout><VerticalLayout name=\"p1\"/>"
                    L"<VerticalLayout name=\"p2\"/></TabLayout></Window>"),
              nullptr);
    auto* tab = Find<CTabLayoutUI>(L"tab");
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_FALSE(m_manager.FindControl(L"p1")->IsVisible());
    EXPECT_TRUE(Find<CCheckBoxUI>(L"c")->IsSelected());
    EXPECT_EQ(Find<CCheckBoxUI>(L"c")->GetManager(), &m_manager);
    EXPECT_EQ(Find<CCheckBoxUI>(L"c")->GetParent(), tab->GetItemAt(0));
}

TEST_F(MarkupBuilderTest, WindowAttributesConfigureABoundWindow) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    m_manager.Init(window);
    ASSERT_NE(Build(L"<Window size=\"300,200\" caption=\"0,0,0,-1\" bktrans=\"true\" "
                    L"defaultfontcolor=\"#FF111111\" Layered=\"false\"><Control/></Window>"),
              nullptr);
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_TRUE(m_manager.IsLayered());  // "Layered" in another case is not the attribute
    EXPECT_EQ(m_manager.GetWindowAttributes().caption, (UiRect{0, 0, 0, -1}));
    EXPECT_EQ(m_manager.GetDefaultFontColor(), 0xFF111111u);
    m_manager.AttachRoot(nullptr);
    m_manager.DrainNotificationQueue();
    m_manager.Init(nullptr);
    ::DestroyWindow(window);
}

// The product's own install window, read from the repository's skin folder.
TEST(SkinWindowTest, InstallWindowLaysOutAsItsMarkupSays) {
    ResetSkinLocationForTesting();
    SetResourceFolder(L"Z:" TESSEL_SKIN_PACKAGE_DIR L"/");
    CPaintManagerUI manager;
    CMarkupBuilder builder;
    CControlUI* root = builder.Create(L"WndInstall.xml", L"", nullptr, &manager);
    ASSERT_NE(root, nullptr) << std::wstring(builder.GetLastErrorMessage());
    manager.AttachRoot(root);
    root->SetPos({0, 0, 730, 498});
    const auto pos = [&](const wchar_t* name) {
        CControlUI* c = manager.FindControl(name);
        return c != nullptr ? c->GetPos() : UiRect{-1, -1, -1, -1};
    };
    EXPECT_EQ(pos(L"tabLyt_Client"), (UiRect{10, 40, 720, 488}));
    EXPECT_EQ(pos(L"btn_Install"), (UiRect{290, 244, 440, 284}));
    EXPECT_EQ(pos(L"btnSysClose"), (UiRect{684, 18, 708, 40}));
    EXPECT_EQ(pos(L"edt_Folder").Width(), 554);
    EXPECT_TRUE(static_cast<CCheckBoxUI*>(manager.FindControl(L"chkbx_Agree"))->IsSelected());
    EXPECT_FALSE(manager.FindControl(L"pro_Install")->IsVisible());

    testing_support::PaintSurface surface(730, 498, 0);
    manager.SetLayered(true);
    root->Paint(surface.Dc(), surface.Bounds(), nullptr);
    // The card background covers the window and the install button's frame is painted.
    EXPECT_NE(surface.Pixel(365, 30) >> 24, 0u);
    EXPECT_NE(surface.Rgb(300, 264), surface.Rgb(300, 300));
    ResetSkinLocationForTesting();
}

}  // namespace
}  // namespace tessel
