#include <gtest/gtest.h>

#include <string>

#include "tests/ui/UiTestSupport.h"
#include "ui/MarkupDocument.h"
#include "ui/ResourceLocation.h"

namespace tessel {
namespace {

using testing_support::TestPackage;

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

}  // namespace
}  // namespace tessel
