// The package's two windows, built from the archive the build makes and laid out offscreen at
// their window sizes: every named control where the markup's outline puts it, in all three
// languages, and a few pixels of the rendered install window and message box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/preview/SkinSnapshot.h"
#include "tests/skin/SkinTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/ControlUI.h"
#include "ui/EditUI.h"
#include "ui/LabelUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/ProgressUI.h"
#include "ui/RenderEngine.h"
#include "ui/TabLayoutUI.h"

namespace tessel {
namespace {

using testing_support::Blue;
using testing_support::Green;
using testing_support::LoadLanguage;
using testing_support::Red;

const wchar_t* const kLanguageFiles[] = {L"lan_cn.xml", L"lan_tc.xml", L"lan_en.xml"};

int Alpha(uint32_t pixel) {
    return static_cast<int>(pixel >> 24);
}

class SkinWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(testing_support::OpenBuiltSkinPackage()); }
    void SetUp() override { ASSERT_TRUE(LoadLanguage(L"lan_en.xml")); }
    void TearDown() override { CLanguageTable::Instance().Clear(); }

    // Builds `file` and places it at its window size.
    void Build(const wchar_t* file) {
        ASSERT_TRUE(m_snapshot.Load(file));
        m_snapshot.Layout();
    }
    CControlUI* Named(const wchar_t* name) {
        CControlUI* control = m_snapshot.Find(name);
        EXPECT_NE(control, nullptr)
            << "no control named " << std::string(name, name + wcslen(name));
        return control;
    }
    UiRect PosOf(const wchar_t* name) {
        CControlUI* control = Named(name);
        return control != nullptr ? control->GetPos() : UiRect{};
    }
    // The floating logo, the first control of each install page.
    CControlUI* PageLogo(int page) {
        auto* tabs =
            static_cast<CTabLayoutUI*>(Named(L"tabLyt_Client")->QueryInterfaceByName(L"TabLayout"));
        auto* container =
            static_cast<CContainerUI*>(tabs->GetItemAt(page)->QueryInterfaceByName(L"Container"));
        CControlUI* logo = container->GetItemAt(0);
        EXPECT_TRUE(logo->IsFloat());
        return logo;
    }
    // Width of a control's own text in its own font, plus its text padding.
    int TextExtent(const wchar_t* name) {
        auto* label = static_cast<CLabelUI*>(Named(name)->QueryInterfaceByName(L"Label"));
        UiRect r{0, 0, 9999, 100};
        CRenderEngine::RenderText(m_snapshot.Manager().GetPaintDC(), &m_snapshot.Manager(), r,
                                  label->GetText(), 0, label->GetFont(),
                                  label->GetTextStyle() | DT_CALCRECT);
        const UiRect padding = label->GetTextPadding();
        return r.Width() + padding.left + padding.right;
    }

    CSkinSnapshot m_snapshot;
};

// ---- the install window -------------------------------------------------------------------

class InstallWindowTest : public SkinWindowTest {
protected:
    void SetUp() override {
        SkinWindowTest::SetUp();
        Build(L"WndInstall.xml");
    }
    void ShowPage(int page) {
        ASSERT_TRUE(m_snapshot.SelectPage(page));
        m_snapshot.Layout();
    }
};

TEST_F(InstallWindowTest, WindowIsLayeredAtItsMarkupSize) {
    EXPECT_TRUE(m_snapshot.IsLayered());
    EXPECT_EQ(m_snapshot.ClientSize(), (UiSize{730, 498}));
    EXPECT_EQ(m_snapshot.Manager().GetRoot()->GetPos(), (UiRect{0, 0, 730, 498}));
    EXPECT_EQ(PosOf(L"btnSysClose"), (UiRect{684, 18, 708, 40}))
        << "24 high, but the 30-high row leaves 22 below its top padding of 8";
    EXPECT_EQ(PosOf(L"tabLyt_Client"), (UiRect{10, 40, 720, 488}));
}

TEST_F(InstallWindowTest, PageZeroPlacesTheFormBelowTheLogo) {
    EXPECT_EQ(PageLogo(0)->GetPos(), (UiRect{180, 126, 551, 199})) << "pos 170,86 keeps 371x73";
    EXPECT_EQ(PosOf(L"btn_Install"), (UiRect{290, 244, 440, 284})) << "padding 280,204 in its page";
    EXPECT_EQ(PosOf(L"edt_Folder"), (UiRect{40, 392, 594, 428}));
    EXPECT_EQ(PosOf(L"btn_Browse"), (UiRect{610, 392, 690, 428}));
    for (const wchar_t* name :
         {L"chkbx_Agree", L"btn_Url", L"chkbx_DeskShortcut", L"chkbx_AutoRun"}) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        EXPECT_EQ(PosOf(name).top, 448);
        EXPECT_EQ(PosOf(name).bottom, 468);
    }
    EXPECT_EQ(PosOf(L"chkbx_Agree").left, 40);
    EXPECT_EQ(PosOf(L"chkbx_AutoRun").right, 690);
}

TEST_F(InstallWindowTest, InitialStatesFollowTheMarkup) {
    for (const wchar_t* name : {L"chkbx_Agree", L"chkbx_DeskShortcut", L"chkbx_AutoRun"}) {
        auto* box = static_cast<CCheckBoxUI*>(Named(name)->QueryInterfaceByName(L"CheckBox"));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->IsSelected());
    }
    auto* progress =
        static_cast<CProgressUI*>(Named(L"pro_Install")->QueryInterfaceByName(L"Progress"));
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->GetMinValue(), 0);
    EXPECT_EQ(progress->GetMaxValue(), 100);
    EXPECT_EQ(progress->GetValue(), 0);
    EXPECT_FALSE(Named(L"btn_Cancel")->IsVisible());
    EXPECT_FALSE(Named(L"btn_Confirm")->IsVisible());
    EXPECT_TRUE(Named(L"btn_Install")->IsEnabled());
    EXPECT_EQ(Named(L"edt_Folder")->GetText(), L"C:\\Program Files (x86)\\Tessel Utility Software");
    auto* tabs =
        static_cast<CTabLayoutUI*>(Named(L"tabLyt_Client")->QueryInterfaceByName(L"TabLayout"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetCurSel(), 0);
}

TEST_F(InstallWindowTest, PageOnePlacesTheProgressBarAndStatus) {
    ShowPage(1);
    EXPECT_EQ(PageLogo(1)->GetPos(), (UiRect{180, 148, 551, 221}));
    EXPECT_EQ(PosOf(L"pro_Install"), (UiRect{45, 390, 685, 402}));
    EXPECT_EQ(PosOf(L"lab_content"), (UiRect{45, 421, 685, 449})) << "btn_Cancel is hidden";
    EXPECT_FALSE(Named(L"btn_Install")->IsVisible()) << "page 0 is hidden";
}

// The markup's outline would put the page's 150-high button band at its top (btn_RunNow at y 95,
// above the logo); the package's stretching Control pushes it to the card's lower band instead.
TEST_F(InstallWindowTest, PageTwoKeepsItsButtonsInTheLowerBand) {
    ShowPage(2);
    EXPECT_EQ(PageLogo(2)->GetPos(), (UiRect{180, 148, 551, 221}));
    EXPECT_EQ(PosOf(L"btn_RunNow"), (UiRect{290, 393, 440, 433}));
    Named(L"btn_RunNow")->SetVisible(false);
    Named(L"btn_Confirm")->SetVisible(true);
    m_snapshot.Layout();
    EXPECT_EQ(PosOf(L"btn_Confirm"), (UiRect{290, 393, 440, 433})) << "takes the same place";
}

// In every language the texts fit their controls and the bottom row does not overlap.
TEST_F(InstallWindowTest, TextsFitInEveryLanguage) {
    for (const wchar_t* file : kLanguageFiles) {
        SCOPED_TRACE(std::string(file, file + wcslen(file)));
        ASSERT_TRUE(LoadLanguage(file));
        ASSERT_TRUE(m_snapshot.Load(L"WndInstall.xml"));
        m_snapshot.Layout();
        EXPECT_NE(Named(L"btn_Install")->GetText(), L"lan_1") << "resource texts resolve";
        const std::pair<int, const wchar_t*> fixedWidthTexts[] = {
            {1, L"lab_content"}, {2, L"btn_RunNow"}, {2, L"btn_Confirm"},
            {0, L"btn_Install"}, {0, L"btn_Browse"}, {0, L"edt_Folder"}};
        for (const auto& [page, name] : fixedWidthTexts) {
            SCOPED_TRACE(std::string(name, name + wcslen(name)));
            ShowPage(page);
            Named(name)->SetVisible(true);
            m_snapshot.Layout();
            EXPECT_LE(TextExtent(name), PosOf(name).Width());
        }
        const UiRect agree = PosOf(L"chkbx_Agree");
        const UiRect link = PosOf(L"btn_Url");
        const UiRect shortcut = PosOf(L"chkbx_DeskShortcut");
        const UiRect autoRun = PosOf(L"chkbx_AutoRun");
        EXPECT_GE(agree.Width(), TextExtent(L"chkbx_Agree"));
        EXPECT_LE(agree.right, link.left);
        EXPECT_GE(link.Width(), TextExtent(L"btn_Url"));
        EXPECT_LE(link.right, 340) << "inside its 300-wide group";
        EXPECT_GE(shortcut.left, 340);
        EXPECT_GE(shortcut.Width(), TextExtent(L"chkbx_DeskShortcut"));
        EXPECT_EQ(autoRun.left, shortcut.right + 8);
        EXPECT_GE(autoRun.Width(), TextExtent(L"chkbx_AutoRun"));
    }
}

TEST_F(InstallWindowTest, RenderedPageIsACardOnATransparentSurround) {
    const SnapshotImage image = m_snapshot.Render();
    ASSERT_EQ(image.size, (UiSize{730, 498}));
    for (const auto& [x, y] :
         {std::pair{0, 0}, {729, 0}, {0, 497}, {729, 497}, {365, 0}, {0, 250}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_EQ(Alpha(image.At(x, y)), 0) << "the desktop shows through";
    }
    EXPECT_GT(Alpha(image.At(5, 250)), 0) << "a shadow fades in the margin";
    EXPECT_LT(Alpha(image.At(5, 250)), 255);
    const uint32_t card = image.At(100, 300);
    EXPECT_EQ(Alpha(card), 255);
    EXPECT_GT(Red(card) + Green(card) + Blue(card), 3 * 235) << "white card";
    // The install button: brand red left of its text, some white text in the middle.
    const uint32_t button = image.At(300, 264);
    EXPECT_EQ(Alpha(button), 255);
    EXPECT_GT(Red(button), 190);
    EXPECT_LT(Green(button), 70);
    int whiteTextPixels = 0;
    for (int y = 250; y < 278; ++y) {
        for (int x = 320; x < 410; ++x) {
            const uint32_t p = image.At(x, y);
            whiteTextPixels += Red(p) > 230 && Green(p) > 230 && Blue(p) > 230 ? 1 : 0;
        }
    }
    EXPECT_GT(whiteTextPixels, 20) << "the button's text is drawn";
    // Premultiplied pixels never carry more colour than coverage.
    for (const uint32_t p : image.pixels) {
        ASSERT_LE(Red(p), Alpha(p));
        ASSERT_LE(Green(p), Alpha(p));
        ASSERT_LE(Blue(p), Alpha(p));
    }
}

TEST_F(InstallWindowTest, RenderedProgressBarShowsTrackAndFill) {
    ShowPage(1);
    auto* progress =
        static_cast<CProgressUI*>(Named(L"pro_Install")->QueryInterfaceByName(L"Progress"));
    progress->SetValue(50);
    const SnapshotImage image = m_snapshot.Render();
    const uint32_t filled = image.At(200, 396);
    const uint32_t track = image.At(600, 396);
    EXPECT_EQ(Alpha(filled), 255);
    EXPECT_GT(Red(filled), 180) << "brand-red fill";
    EXPECT_LT(Green(filled), 100);
    EXPECT_LT(std::abs(Red(track) - Green(track)), 30) << "neutral track";
    EXPECT_LT(Red(track), 245) << "the track stands out from the white card";
    // The fill's rounded leading cap survives the corner stretch: it ends inside the half.
    EXPECT_GT(Red(image.At(362, 396)), 180);
    EXPECT_LT(std::abs(Red(image.At(370, 396)) - Green(image.At(370, 396))), 30);
}

// ---- the message box ----------------------------------------------------------------------

class MessageBoxWindowTest : public SkinWindowTest {
protected:
    void SetUp() override {
        SkinWindowTest::SetUp();
        Build(L"MessageBox.xml");
    }
    void Fill(const std::wstring& text) {
        ASSERT_TRUE(m_snapshot.SetMessage(text, L"notify"));
        m_snapshot.Layout();
    }
};

TEST_F(MessageBoxWindowTest, EmptyTextGivesTheMinimumBox) {
    EXPECT_FALSE(m_snapshot.IsLayered());
    EXPECT_EQ(m_snapshot.ClientSize(), (UiSize{342, 202})) << "the markup size";
    for (const wchar_t* name : {L"labCaption", L"HLayoutContent", L"HLayoutBtn", L"hl_Head",
                                L"btnClose", L"Button1", L"Lab_Content"}) {
        EXPECT_NE(Named(name), nullptr);
    }
    Fill(L"");
    EXPECT_EQ(m_snapshot.ClientSize(), (UiSize{342, 202}));
    EXPECT_EQ(PosOf(L"Button1"), (UiRect{122, 160, 220, 190}));
    EXPECT_EQ(PosOf(L"labCaption"), (UiRect{18, 11, 222, 39}));
    EXPECT_EQ(PosOf(L"btnClose"), (UiRect{312, 4, 336, 28}));
    EXPECT_EQ(PosOf(L"HLayoutContent"), (UiRect{0, 50, 342, 150}));
    EXPECT_EQ(PosOf(L"HLayoutBtn"), (UiRect{0, 150, 342, 202}));
    EXPECT_EQ(Named(L"Button1")->GetText(), L"OK");
    EXPECT_EQ(Named(L"labCaption")->GetText(), L"notify") << "not an id: shown as it is";
    EXPECT_EQ(Named(L"btnClose")->GetToolTip(), L"Close");
}

TEST_F(MessageBoxWindowTest, LongTextWidensTheBoxAndKeepsItsHeight) {
    const std::wstring text = CLanguageTable::Instance().LookUpText(L"lan_106") + L" 1603, " +
                              CLanguageTable::Instance().LookUpText(L"lan_109");
    Fill(text);
    const UiSize size = m_snapshot.ClientSize();
    EXPECT_EQ(size.cy, 202);
    ASSERT_GT(size.cx, 342);
    EXPECT_EQ(size.cx, TextExtent(L"Lab_Content") + 20) << "text, its padding 40, margins 10+10";
    const UiRect button = PosOf(L"Button1");
    EXPECT_EQ(button.left, size.cx / 2 - 49);
    EXPECT_EQ(button.top, 160);
    EXPECT_EQ(PosOf(L"btnClose").right, size.cx - 6);
    const UiRect text1 = PosOf(L"Lab_Content");
    EXPECT_EQ(text1.left, 10);
    EXPECT_EQ(text1.right, size.cx - 10) << "the spacers beside it get nothing";
}

TEST_F(MessageBoxWindowTest, RenderedBoxIsOpaqueWithBorderIconAndButton) {
    Fill(CLanguageTable::Instance().LookUpText(L"lan_104"));
    const SnapshotImage image = m_snapshot.Render();
    ASSERT_EQ(image.size, m_snapshot.ClientSize());
    for (const uint32_t p : image.pixels) {
        ASSERT_EQ(Alpha(p), 255);
    }
    EXPECT_EQ(image.At(0, 100) & 0xFFFFFF, 0xDDDDDDu) << "border";
    EXPECT_EQ(image.At(image.size.cx - 1, 100) & 0xFFFFFF, 0xDDDDDDu);
    EXPECT_EQ(image.At(20, 140) & 0xFFFFFF, 0xFFFFFFu) << "white body";
    // The warning icon sits at the text's left edge, 4..27 across and 5..25 down of the text.
    const UiRect text = PosOf(L"Lab_Content");
    int iconPixels = 0;
    for (int y = text.top + 5; y < text.top + 25; ++y) {
        for (int x = text.left + 4; x < text.left + 27; ++x) {
            const uint32_t p = image.At(x, y);
            iconPixels += (p & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
        }
    }
    EXPECT_GT(iconPixels, 100);
    const UiRect button = PosOf(L"Button1");
    const uint32_t buttonPixel = image.At(button.left + 6, (button.top + button.bottom) / 2);
    EXPECT_NE(buttonPixel & 0xFFFFFF, 0xFFFFFFu) << "the button strip is drawn";
}

}  // namespace
}  // namespace tessel
