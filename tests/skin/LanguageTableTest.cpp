#include "skin/LanguageTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/TestProcess.h"
#include "ui/ResourceLocation.h"

namespace tessel {
namespace {

class LanguageTableTest : public testing::Test {
protected:
    void SetUp() override { Table().Clear(); }
    void TearDown() override { Table().Clear(); }
    static CLanguageTable& Table() { return CLanguageTable::Instance(); }
};

TEST_F(LanguageTableTest, TextElementsSetTheirIds) {
    ASSERT_TRUE(Table().LoadLanguageFile(
        L"<Res><Text id=\"lan_1\" value=\"Install\"/><TEXT ID=\"lan_2\" VALUE=\"Two\"/>"
        L"<Other id=\"lan_3\" value=\"no\"/><Text id=\"lan_4\"/><Text value=\"orphan\"/>"
        L"<Text id=\"lan_1\" value=\"Later wins\">content ignored</Text></Res>"));
    EXPECT_EQ(Table().LookUpText(L"lan_1"), L"Later wins");
    EXPECT_EQ(Table().LookUpText(L"lan_2"), L"Two");
    EXPECT_EQ(Table().LookUpText(L"lan_3"), L"lan_3") << "not a Text element";
    EXPECT_EQ(Table().LookUpText(L"lan_4"), L"lan_4") << "no value: stays unresolved";
    EXPECT_EQ(Table().LookUpText(L"LAN_1"), L"LAN_1") << "ids compare with case";
    EXPECT_EQ(Table().LookUpText(static_cast<const wchar_t*>(nullptr)), L"");
}

TEST_F(LanguageTableTest, FailedLoadKeepsWhatWasThere) {
    ASSERT_TRUE(Table().LoadLanguageFile(L"<Res><Text id=\"a\" value=\"A\"/></Res>"));
    EXPECT_FALSE(Table().LoadLanguageFile(L"<Res><Text id=\"a\" value=\"B\"/"));
    EXPECT_FALSE(Table().LoadLanguageFile(L"no-such-file.xml"));
    EXPECT_EQ(Table().LookUpText(L"a"), L"A");
}

TEST_F(LanguageTableTest, QueryHookAnswersUnknownIdsOnce) {
    struct Query : IQueryControlText {
        int calls = 0;
        bool QueryText(std::wstring_view id, int, std::wstring& text) override {
            ++calls;
            if (id != L"dyn") {
                return false;
            }
            text = L"computed";
            return true;
        }
    } query;
    Table().SetTextQuery(&query);
    EXPECT_EQ(Table().LookUpText(L"dyn"), L"computed");
    EXPECT_EQ(Table().LookUpText(L"dyn"), L"computed");
    EXPECT_EQ(query.calls, 1) << "the answer is kept in the table";
    EXPECT_EQ(Table().LookUpText(L"other"), L"other");
}

TEST_F(LanguageTableTest, LanguageChoice) {
    EXPECT_STREQ(ChooseLanguage(2052).fileName, L"lan_cn.xml");
    EXPECT_STREQ(ChooseLanguage(2052).code, L"CN");
    EXPECT_STREQ(ChooseLanguage(1028).fileName, L"lan_tc.xml");
    EXPECT_STREQ(ChooseLanguage(1028).code, L"TC");
    for (const uint16_t other : {3076, 4100, 1033, 2057, 0}) {
        SCOPED_TRACE(other);
        EXPECT_STREQ(ChooseLanguage(other).fileName, L"lan_en.xml");
        EXPECT_STREQ(ChooseLanguage(other).code, L"EN");
    }
}

// The package's three tables, read from the archive the build makes.
TEST_F(LanguageTableTest, PackageTablesHoldTheTwentyFourTexts) {
    std::ifstream in(testing_support::FromBuildPath(TESSEL_SKIN_ARCHIVE).c_str(), std::ios::binary);
    static const std::string archive = [&] {
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }();
    ASSERT_FALSE(archive.empty());
    OpenSkinPackage(archive.data(), archive.size(), nullptr);

    const wchar_t* ids[] = {L"lan_1",   L"lan_2",   L"lan_3",   L"lan_4",   L"lan_5",   L"lan_6",
                            L"lan_7",   L"lan_8",   L"lan_9",   L"lan_10",  L"lan_11",  L"lan_50",
                            L"lan_51",  L"lan_52",  L"lan_100", L"lan_101", L"lan_102", L"lan_103",
                            L"lan_104", L"lan_105", L"lan_106", L"lan_107", L"lan_108", L"lan_109"};
    for (const wchar_t* file : {L"lan_cn.xml", L"lan_tc.xml", L"lan_en.xml"}) {
        SCOPED_TRACE(testing::Message() << "file "
                                        << (file[4] == 'c'   ? "cn"
                                            : file[4] == 't' ? "tc"
                                                             : "en"));
        Table().Clear();
        ASSERT_TRUE(Table().LoadLanguageFile(file));
        for (const wchar_t* id : ids) {
            EXPECT_NE(Table().LookUpText(id), id);
        }
    }
    Table().Clear();
    ASSERT_TRUE(Table().LoadLanguageFile(L"lan_en.xml"));
    EXPECT_EQ(Table().LookUpText(L"lan_107"), L"Releasing files");
    EXPECT_EQ(Table().LookUpText(L"lan_108"), L"Installing the latest driver components... %s");
    EXPECT_EQ(Table().LookUpText(L"lan_106"),
              L"Installation failed, please try again. Error Code: %d");
    Table().Clear();
    ASSERT_TRUE(Table().LoadLanguageFile(L"lan_cn.xml"));
    EXPECT_EQ(Table().LookUpText(L"lan_108"),
              L"\x6B63\x5728\x5B89\x88C5\x6700\x65B0\x7684\x9A71\x52A8\x7EC4\x4EF6 ...    %s");
    EXPECT_EQ(Table().LookUpText(L"lan_1"), L"\x5FEB\x901F\x5B89\x88C5");
}

}  // namespace
}  // namespace tessel
