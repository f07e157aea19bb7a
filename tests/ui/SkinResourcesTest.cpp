#include <gtest/gtest.h>

#include <string>

#include "tests/ui/UiTestSupport.h"
#include "ui/MarkupDocument.h"
#include "ui/PaintManagerUI.h"
#include "ui/ResourceLocation.h"

namespace tessel {
namespace {

using testing_support::MakeBandsPng;
using testing_support::TestPackage;
using testing_support::ZipWriter;

std::string Text(const SkinFileResult& r) {
    return std::string(r.bytes.begin(), r.bytes.end());
}

TEST(SkinPackageTest, EntriesMatchWithoutCaseAndWithBackslashes) {
    TestPackage package;
    package.Add("Common/btn_Style_1.png", "png bytes");
    package.Add("WndInstall.xml", "<Window/>");
    package.Open();
    for (const wchar_t* name :
         {L"Common\\btn_Style_1.png", L"COMMON\\BTN_STYLE_1.PNG", L"common/btn_style_1.png"}) {
        const SkinFileResult r = ReadSkinFile(name);
        EXPECT_EQ(r.error, L"");
        EXPECT_EQ(Text(r), "png bytes");
    }
    EXPECT_EQ(ReadSkinFile(L"Common\\absent.png").error, L"Could not find ziped file");
    EXPECT_EQ(ReadSkinFile(std::wstring(300, L'a')).error, L"Could not find ziped file");
}

TEST(SkinPackageTest, MarkupFilesStopAtFourMebibytes) {
    TestPackage package;
    package.Add("exact.xml", std::string(kMaxSkinFileSize, 'x'));
    package.Add("over.xml", std::string(kMaxSkinFileSize + 1, 'x'));
    package.Add("empty.xml", "");
    package.Open();
    EXPECT_EQ(ReadSkinFile(L"exact.xml").bytes.size(), kMaxSkinFileSize);
    EXPECT_EQ(ReadSkinFile(L"over.xml").error, L"File too large");
    EXPECT_EQ(ReadSkinFile(L"empty.xml").error, L"File is empty");
    // Images are read without that limit.
    EXPECT_EQ(ReadSkinResourceBytes(L"over.xml").size(), kMaxSkinFileSize + 1);
}

TEST(SkinPackageTest, SecondOpenChangesNothing) {
    TestPackage first;
    first.Add("a.xml", "first");
    first.Open();
    ZipWriter other;
    other.Add("a.xml", "second");
    const std::string otherBytes = other.Finish();
    OpenSkinPackage(otherBytes.data(), otherBytes.size(), nullptr);
    EXPECT_EQ(Text(ReadSkinFile(L"a.xml")), "first");
}

TEST(SkinPackageTest, BrokenPackagesAndEntriesFailWithTheirTexts) {
    ResetSkinLocationForTesting();
    const std::string garbage = "PK\x03\x04 this is not an archive";
    OpenSkinPackage(garbage.data(), garbage.size(), nullptr);
    EXPECT_FALSE(IsSkinPackageOpen());
    EXPECT_EQ(ReadSkinFile(L"a.xml").error, L"Error opening zip file");
    EXPECT_TRUE(ReadSkinResourceBytes(L"a.xml").empty());

    ZipWriter writer;
    writer.Add("bad.xml", std::string(1000, 'z'), ZipWriter::Method::Deflated);
    std::string bytes = writer.Finish();
    bytes[30 + 7 + 2] ^= 0x55;  // inside the deflated data of the only entry
    ResetSkinLocationForTesting();
    OpenSkinPackage(bytes.data(), bytes.size(), nullptr);
    EXPECT_EQ(ReadSkinFile(L"bad.xml").error, L"Could not unzip file");
    ResetSkinLocationForTesting();
}

TEST(SkinPackageTest, WithoutAPackageFilesComeFromTheFolder) {
    ResetSkinLocationForTesting();
    SetResourceFolder(L"Z:\\no\\such\\folder\\");
    EXPECT_EQ(ReadSkinFile(L"WndInstall.xml").error, L"Error opening file");
    CMarkupDocument document;
    EXPECT_FALSE(document.LoadFromFile(L"WndInstall.xml"));
    EXPECT_EQ(document.LastError(), L"Error opening file");
    ResetSkinLocationForTesting();
}

class PaintManagerResourcesTest : public ::testing::Test {
protected:
    CPaintManagerUI m_manager;
};

TEST_F(PaintManagerResourcesTest, LaterFontDefinitionWinsAndUnknownIdsGetTheDefault) {
    ASSERT_NE(m_manager.AddFont(1, L"Tahoma", 14, false, false, false, false), nullptr);
    ASSERT_NE(m_manager.AddFont(1, L"Tahoma", 20, true, false, false, false), nullptr);
    EXPECT_EQ(m_manager.LookUpFont(1).size, 20);
    EXPECT_TRUE(m_manager.LookUpFont(1).bold);
    EXPECT_GT(m_manager.LookUpFont(1).metrics.tmHeight, 0);
    EXPECT_EQ(&m_manager.LookUpFont(7), &m_manager.GetDefaultFontInfo());
    EXPECT_EQ(&m_manager.LookUpFont(-1), &m_manager.GetDefaultFontInfo());
    m_manager.SetDefaultFont(L"Tahoma", 17, true, false, false, false);
    EXPECT_EQ(m_manager.LookUpFont(-1).size, 17);
    // A face longer than a font description holds is cut, not overrun.
    EXPECT_NE(m_manager.AddFont(2, std::wstring(100, L'F'), 12, false, false, false, false),
              nullptr);
    EXPECT_EQ(m_manager.LookUpFont(2).face.size(), 31u);
}

TEST_F(PaintManagerResourcesTest, StylesKeepTheFirstDefinitionClassDefaultsTheLast) {
    EXPECT_TRUE(m_manager.AddStyle(L"s", L"width=\"1\" ", false));
    EXPECT_FALSE(m_manager.AddStyle(L"s", L"width=\"2\" ", false));
    EXPECT_EQ(m_manager.GetStyle(L"s").value_or(L""), L"width=\"1\" ");
    EXPECT_FALSE(m_manager.GetStyle(L"S").has_value());
    m_manager.AddClassDefaults(L"Button", L"height=\"1\" ", false);
    m_manager.AddClassDefaults(L"Button", L"height=\"2\" ", false);
    EXPECT_EQ(m_manager.GetClassDefaults(L"Button").value_or(L""), L"height=\"2\" ");
    m_manager.Init(nullptr);
    EXPECT_FALSE(m_manager.GetStyle(L"s").has_value());
}

TEST_F(PaintManagerResourcesTest, WindowTablesComeBeforeSharedOnes) {
    CPaintManagerUI other;
    m_manager.AddStyle(L"shared_style", L"a=\"shared\" ", true);
    other.AddStyle(L"shared_style", L"a=\"own\" ", false);
    EXPECT_EQ(m_manager.GetStyle(L"shared_style").value_or(L""), L"a=\"shared\" ");
    EXPECT_EQ(other.GetStyle(L"shared_style").value_or(L""), L"a=\"own\" ");
    other.Init(nullptr);
    EXPECT_EQ(other.GetStyle(L"shared_style").value_or(L""), L"a=\"shared\" ");
}

TEST_F(PaintManagerResourcesTest, SharedColourMovesWindowsThatStillFollowIt) {
    CPaintManagerUI follower;
    CPaintManagerUI own;
    const uint32_t old = follower.GetDefaultLinkFontColor();
    own.SetDefaultLinkFontColor(0xFF123456, false);
    follower.SetDefaultLinkFontColor(0xFF654321, true);
    EXPECT_EQ(follower.GetDefaultLinkFontColor(), 0xFF654321u);
    EXPECT_EQ(own.GetDefaultLinkFontColor(), 0xFF123456u);
    CPaintManagerUI later;
    EXPECT_EQ(later.GetDefaultLinkFontColor(), 0xFF654321u);
    follower.SetDefaultLinkFontColor(old, true);
    EXPECT_EQ(m_manager.GetDefaultFontColor(), 0xFF000000u);
    EXPECT_EQ(m_manager.GetDefaultDisabledColor(), 0xFFA7A6AAu);
}

TEST_F(PaintManagerResourcesTest, ImagesLoadOnceAndMissingOnesGiveNothing) {
    TestPackage package;
    package.Add("img/a.png", MakeBandsPng({0xFF102030}, 3, 2));
    package.Add("img/bad.png", "not an image");
    package.Open();
    const ImageRecord* first = m_manager.LookUpImage(L"img\\a.png", L"", 0, false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Width(), 3);
    EXPECT_EQ(first->Height(), 2);
    EXPECT_EQ(first->dib.pixels[0], 0xFF102030u);
    EXPECT_EQ(m_manager.LookUpImage(L"img\\a.png", L"", 0, false), first);
    EXPECT_EQ(m_manager.LookUpImage(L"img\\bad.png", L"", 0, false), nullptr);
    EXPECT_EQ(m_manager.LookUpImage(L"img\\none.png", L"", 0, false), nullptr);
    EXPECT_EQ(m_manager.GetDisplayScale().Percent(), 100);
}

}  // namespace
}  // namespace tessel
