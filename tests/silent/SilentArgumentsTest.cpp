#include "silent/SilentArguments.h"

#include <gtest/gtest.h>

#include "silent/ProductNames.h"

namespace tessel {
namespace {

TEST(SilentArgumentsTest, SevenOrEightFieldsOnly) {
    for (size_t count = 0; count < 12; ++count) {
        SCOPED_TRACE(count);
        std::vector<std::wstring> fields(count, L"1");
        if (count > 0) {
            fields[0] = L"C:\\Apps\\";
        }
        EXPECT_EQ(ParseSilentArguments(fields).has_value(), count == 7 || count == 8);
    }
}

TEST(SilentArgumentsTest, FoldersWindowsCannotUseGiveNothing) {
    const std::wstring folders[] = {
        L"C:\\Fault\"Test\\",
        L"C:Apps",
        L"Apps\\Tessel",
        L"\\\\server\\share\\",
        L"C:\\Apps\\NUL.txt",
        L"C:\\Apps.\\",
        L"C:\\a|b",
        L"",
        L"C:",  // drive-relative: normalised first, it would have passed as the root
        L"\\C:\\Apps",
    };
    for (const auto& folder : folders) {
        SCOPED_TRACE(testing::Message() << "folder " << (&folder - folders));
        EXPECT_FALSE(
            ParseSilentArguments({folder, L"1", L"1", L"1", L"Install", L"1", L"0", L"1"}));
    }
}

TEST(SilentArgumentsTest, ReadsEveryFieldOfTheInstallersCommandLine) {
    const auto parsed = ParseSilentArguments({L"C:\\Program Files (x86)\\Tessel Assistant\\", L"1",
                                              L"0", L"1", L"Install", L"0", L"1", L"4"});
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->options.installFolder, L"C:\\Program Files (x86)\\Tessel Assistant\\");
    EXPECT_TRUE(parsed->options.autoRun);
    EXPECT_FALSE(parsed->options.desktopShortcut);
    EXPECT_TRUE(parsed->options.reportExtraction);
    EXPECT_EQ(parsed->channelName, L"Install");
    EXPECT_FALSE(parsed->options.firstInstall);
    EXPECT_TRUE(parsed->options.startProduct);
    EXPECT_EQ(parsed->options.language, ProductLanguage::TraditionalChinese);
}

// The log shows the fields as the run uses them: after normalising and the atoi reading.
TEST(SilentArgumentsTest, DescriptionShowsTheFieldsAsParsed) {
    const auto parsed = ParseSilentArguments(
        {L"D:\\Tessel Assistant//", L" 7", L"0", L"x", L"Install", L"-1", L"0", L"9"});
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(DescribeSilentArguments(*parsed),
              L"folder \"D:\\Tessel Assistant\\\", autoRun 1, desktopShortcut 0, "
              L"reportExtraction 0, channel \"Install\", firstInstall 1, startProduct 0, "
              L"language 1");
    const auto seven = ParseSilentArguments({L"C:\\", L"0", L"1", L"1", L"Ch", L"0", L"1"});
    ASSERT_TRUE(seven.has_value());
    EXPECT_TRUE(DescribeSilentArguments(*seven).ends_with(
        L"desktopShortcut 1, reportExtraction 1, channel \"Ch\", firstInstall 0, startProduct 1, "
        L"language 0"))
        << "a missing eighth field is simplified Chinese";
}

TEST(SilentArgumentsTest, FolderIsNormalisedToOneBackslash) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"D:\\Games", L"D:\\Games\\"},
        {L"D:\\Games\\\\", L"D:\\Games\\"},
        {L"D:\\Games//", L"D:\\Games\\"},
        {L"C:\\", L"C:\\"},
    };
    for (const auto& [field, expected] : cases) {
        SCOPED_TRACE(std::string(field.begin(), field.end()));
        const auto parsed =
            ParseSilentArguments({field, L"0", L"0", L"1", L"Install", L"1", L"0", L"1"});
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->options.installFolder, expected);
    }
}

TEST(SilentArgumentsTest, NumbersAreReadLikeAtoi) {
    const std::pair<std::wstring, int> cases[] = {
        {L"0", 0},   {L"1", 1},  {L"  7", 7},
        {L"-3", -3}, {L"+2", 2}, {L"12x", 12},
        {L"x12", 0}, {L"", 0},   {L"99999999999", INT_MAX},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        EXPECT_EQ(ParseDecimalField(text), expected);
    }
}

TEST(SilentArgumentsTest, FlagsCountAsSetWhenNotZero) {
    const auto parsed = ParseSilentArguments({L"C:\\x\\", L"-1", L"2", L"0", L"c", L"abc", L"0"});
    ASSERT_TRUE(parsed.has_value());
    EXPECT_TRUE(parsed->options.autoRun);
    EXPECT_TRUE(parsed->options.desktopShortcut);
    EXPECT_FALSE(parsed->options.reportExtraction);
    EXPECT_FALSE(parsed->options.firstInstall);  // not a number: 0, an update
}

TEST(SilentArgumentsTest, LanguageNumberChoosesTheNames) {
    struct Case {
        std::vector<std::wstring> tail;
        ProductLanguage language;
        std::wstring product;
        std::wstring languageId;
    };
    const Case cases[] = {
        {{}, ProductLanguage::SimplifiedChinese, L"Tessel助手", L"2052"},
        {{L"0"}, ProductLanguage::SimplifiedChinese, L"Tessel助手", L"2052"},
        {{L"4"}, ProductLanguage::TraditionalChinese, L"Tessel助手", L"1028"},
        {{L"1"}, ProductLanguage::English, L"Tessel Assistant", L"2057"},
        {{L"2"}, ProductLanguage::English, L"Tessel Assistant", L"2057"},
        {{L"-4"}, ProductLanguage::English, L"Tessel Assistant", L"2057"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail.empty() ? "absent" : std::string(c.tail[0].begin(), c.tail[0].end()));
        std::vector<std::wstring> fields = {L"C:\\x\\", L"1", L"1", L"1", L"Install", L"1", L"0"};
        fields.insert(fields.end(), c.tail.begin(), c.tail.end());
        const auto parsed = ParseSilentArguments(fields);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->options.language, c.language);
        const auto names = ProductNamesFor(parsed->options.language);
        EXPECT_EQ(names.product, c.product);
        EXPECT_EQ(names.languageId, c.languageId);
    }
    EXPECT_EQ(ProductNamesFor(ProductLanguage::SimplifiedChinese).uninstall, L"卸载Tessel助手");
    EXPECT_EQ(ProductNamesFor(ProductLanguage::TraditionalChinese).uninstall, L"卸載Tessel助手");
    EXPECT_EQ(ProductNamesFor(ProductLanguage::English).uninstall, L"Uninstall Tessel Assistant");
}

}  // namespace
}  // namespace tessel
