#include "ui/AttributeText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tessel {
namespace {

TEST(AttributeTextTest, IntegerListsReadMissingTrailingNumbersAsZero) {
    struct Case {
        const wchar_t* text;
        std::array<int, 4> values;
    };
    const Case cases[] = {
        {L"280,204", {280, 204, 0, 0}},
        {L"0,8,12,0", {0, 8, 12, 0}},
        {L"-1,2,-3,4", {-1, 2, -3, 4}},
        {L" 5, 6", {5, 6, 0, 0}},
        {L"1,,3", {1, 0, 3, 0}},
        {L"", {0, 0, 0, 0}},
        {L"abc", {0, 0, 0, 0}},
        {L"1,2,3,4,5,6", {1, 2, 3, 4}},
        {L"99999999999,1", {2147483647, 1, 0, 0}},
        {L"7,", {7, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "list \"" << std::wstring(c.text).size() << "\"");
        EXPECT_EQ(ParseIntList(c.text), c.values);
    }
}

TEST(AttributeTextTest, ColoursSkipBlanksAndOneHash) {
    EXPECT_EQ(ParseColor(L"#FFE6003E"), 0xFFE6003Eu);
    EXPECT_EQ(ParseColor(L"  ff888888"), 0xFF888888u);
    EXPECT_EQ(ParseColor(L"#FFf6f6f6"), 0xFFF6F6F6u);
    EXPECT_EQ(ParseColor(L"##FF"), 0u);
    EXPECT_EQ(ParseColor(L"123456789"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseColor(L""), 0u);
}

TEST(AttributeTextTest, OnlyTrueInAnyCaseIsTrue) {
    EXPECT_TRUE(ParseBool(L"true"));
    EXPECT_TRUE(ParseBool(L"TRUE"));
    EXPECT_TRUE(ParseBool(L"tRuE"));
    EXPECT_FALSE(ParseBool(L"1"));
    EXPECT_FALSE(ParseBool(L"yes"));
    EXPECT_FALSE(ParseBool(L" true"));
}

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

Pairs CollectPairs(std::wstring_view list) {
    Pairs pairs;
    ForEachAttributePair(list, [&](std::wstring_view name, std::wstring_view value) {
        pairs.emplace_back(name, value);
    });
    return pairs;
}

TEST(AttributeTextTest, AttributeListsStopAtTheFirstMalformedSeparator) {
    EXPECT_EQ(CollectPairs(L"width=\"98\" height=\"30\" "),
              (Pairs{{L"width", L"98"}, {L"height", L"30"}}));
    EXPECT_EQ(CollectPairs(L"width=\"98\"  height=\"30\""), (Pairs{{L"width", L"98"}}));
    EXPECT_EQ(CollectPairs(L"width=\"98\",height=\"30\""), (Pairs{{L"width", L"98"}}));
    EXPECT_EQ(CollectPairs(L"width=98"), Pairs{});
    EXPECT_EQ(CollectPairs(L"width=\"98"), Pairs{});
    EXPECT_EQ(CollectPairs(L"a=\"\" b=\"x\""), (Pairs{{L"a", L""}, {L"b", L"x"}}));
}

TEST(AttributeTextTest, LineBreakEscapeExpands) {
    EXPECT_EQ(ExpandLineBreaks(L"a{\\n}b{\\n}"), L"a\nb\n");
    EXPECT_EQ(ExpandLineBreaks(L"{\\n"), L"{\\n");
}

}  // namespace
}  // namespace tessel
