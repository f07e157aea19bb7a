#include "ui/MarkupDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessel {
namespace {

struct ParseFailureCase {
    const char* label;
    const wchar_t* markup;
    const wchar_t* error;
};

class MarkupParseFailureTest : public ::testing::TestWithParam<ParseFailureCase> {};

TEST_P(MarkupParseFailureTest, FailsWithItsTextAndLeavesTheDocumentEmpty) {
    CMarkupDocument document;
    EXPECT_FALSE(document.Load(GetParam().markup));
    EXPECT_EQ(document.LastError(), GetParam().error);
    EXPECT_FALSE(document.Root().IsValid());
    EXPECT_LE(document.LastError().size(), 99u);
    EXPECT_LE(document.LastErrorLocation().size(), 49u);
}

const ParseFailureCase kFailures[] = {
    {"TextBeforeTag", L"hello <a/>", L"Expected start tag"},
    {"NameRunsToEnd", L"<Window", L"Error parsing element name"},
    {"AttributeWithoutEquals", L"<a b c=\"1\"/>", L"Error while parsing attributes"},
    {"SingleQuotedValue", L"<a b='1'/>", L"Expected attribute value"},
    {"UnterminatedValue", L"<a b=\"1/>", L"Error while parsing attribute string"},
    {"GarbageAfterAttributes", L"<a b=\"1\" ?>", L"Error while parsing attributes"},
    {"SlashWithoutAngle", L"<a b=\"1\"/ >", L"Expected start-tag closing"},
    {"ClosingCaseDiffers", L"<Window></window>", L"Unmatched closing tag"},
    {"ClosingNameDiffers", L"<a><b></c></a>", L"Unmatched closing tag"},
    {"ClosingWithoutAngle", L"<a></a", L"Unmatched closing tag"},
    {"DeepElementUnclosed", L"<a><b><c>", L"Expected end-tag start"},
    {"DeepChildrenUnclosed", L"<a><b><c/>", L"Expected start tag"},
};
INSTANTIATE_TEST_SUITE_P(Errors, MarkupParseFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(MarkupDocumentTest, TreeLinksFollowDocumentOrder) {
    CMarkupDocument document;
    ASSERT_TRUE(
        document.Load(L"<?xml version=\"1.0\"?><!-- head --><Window size=\"730,498\">"
                      L"<Include source=\"Common.xml\"/><VerticalLayout><Button name=\"b1\"/>"
                      L"<Label name=\"l1\">text</Label></VerticalLayout></Window>"));
    const CMarkupElement root = document.Root();
    ASSERT_TRUE(root.IsValid());
    EXPECT_EQ(root.Name(), L"Window");
    EXPECT_EQ(root.AttributeValue(L"SIZE").value_or(L""), L"730,498");
    const CMarkupElement include = root.FirstChild();
    EXPECT_EQ(include.Name(), L"Include");
    EXPECT_FALSE(include.HasChildren());
    const CMarkupElement layout = include.NextSibling();
    EXPECT_EQ(layout.Name(), L"VerticalLayout");
    EXPECT_FALSE(layout.NextSibling().IsValid());
    const CMarkupElement button = layout.FirstChild();
    EXPECT_EQ(button.AttributeValue(L"name").value_or(L""), L"b1");
    EXPECT_EQ(button.Parent().Name(), L"VerticalLayout");
    EXPECT_EQ(button.NextSibling().Data(), L"text");
}

TEST(MarkupDocumentTest, RootMayEndWithoutItsClosingTag) {
    // The shape of the shared style and font files: an unclosed root ending in a stray element.
    CMarkupDocument document;
    ASSERT_TRUE(
        document.Load(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Windows>\r\n"
                      L"  <Style name=\"s\" value=\"width=&quot;98&quot; \"/>\r\n"
                      L"  <Font id=\"1\" name=\"x\" size=\"14\"/>\r\n<Windows/>\r\n"))
        << std::wstring(document.LastError());
    const CMarkupElement root = document.Root();
    EXPECT_EQ(root.Name(), L"Windows");
    std::vector<std::wstring> names;
    for (auto child = root.FirstChild(); child.IsValid(); child = child.NextSibling()) {
        names.emplace_back(child.Name());
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Style", L"Font", L"Windows"}));
    EXPECT_EQ(root.FirstChild().AttributeValue(L"value").value_or(L""), L"width=\"98\" ");
}

TEST(MarkupDocumentTest, RootDataMayRunToTheEnd) {
    CMarkupDocument document;
    ASSERT_TRUE(document.Load(L"<a>text"));
    EXPECT_EQ(document.Root().Name(), L"a");
    EXPECT_EQ(document.Root().Data(), L"text");
}

TEST(MarkupDocumentTest, EntitiesDecodeInOnePass) {
    struct Case {
        const wchar_t* written;
        const wchar_t* decoded;
    };
    const Case cases[] = {
        {L"&quot;x&quot;", L"\"x\""},
        {L"&amp;quot;", L"&quot;"},
        {L"&#65;", L"&#65;"},
        {L"a&lt;b&gt;c&apos;", L"a<b>c'"},
        {L"&", L"&"},
        {L"&am", L"&am"},
        {L"  spaced  ", L"  spaced  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << std::wstring(c.written).size());
        CMarkupDocument document;
        ASSERT_TRUE(
            document.Load(std::wstring(L"<a v=\"") + c.written + L"\">" + c.written + L"</a>"));
        EXPECT_EQ(document.Root().AttributeValue(L"v").value_or(L"?"), c.decoded);
        EXPECT_EQ(document.Root().Data(), c.decoded);
    }
}

TEST(MarkupDocumentTest, OnlyTheFirst64AttributesAreVisible) {
    std::wstring markup = L"<a";
    for (int i = 0; i < 65; ++i) {
        markup += L" k" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    }
    markup += L"/>";
    CMarkupDocument document;
    ASSERT_TRUE(document.Load(markup));
    const CMarkupElement root = document.Root();
    EXPECT_EQ(root.AttributeCount(), 64u);
    EXPECT_EQ(root.AttributeValue(63), L"63");
    EXPECT_FALSE(root.AttributeValue(L"k64").has_value());
    EXPECT_EQ(root.AttributeName(64), L"");
    EXPECT_EQ(root.AttributeValue(200), L"");
}

TEST(MarkupDocumentTest, FirstOfRepeatedAttributesWinsAndNamesIgnoreCase) {
    CMarkupDocument document;
    ASSERT_TRUE(document.Load(L"<a Name=\"one\" NAME=\"two\"/>"));
    EXPECT_EQ(document.Root().AttributeValue(L"name").value_or(L""), L"one");
    wchar_t buffer[3] = {};
    EXPECT_TRUE(document.Root().AttributeValue(L"name", buffer, 3));
    EXPECT_EQ(std::wstring(buffer), L"on");
}

TEST(MarkupDocumentTest, EmptyAndCommentOnlyTextsHaveNoRoot) {
    for (const wchar_t* text : {L"", L"   ", L"<!-- only -->", L"<?xml?>", L"<!-- unterminated"}) {
        CMarkupDocument document;
        EXPECT_TRUE(document.Load(text));
        EXPECT_FALSE(document.Root().IsValid());
    }
}

TEST(MarkupDocumentTest, Utf8ByteOrderMarkIsSkippedAndUtf16NeedsOne) {
    const std::string utf8 = "\xEF\xBB\xBF<a t=\"\xE4\xB8\xAD\"/>";
    CMarkupDocument document;
    ASSERT_TRUE(document.LoadFromMemory(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(),
                                        CMarkupDocument::kUtf8));
    EXPECT_EQ(document.Root().AttributeValue(L"t").value_or(L""), L"\x4E2D");

    const uint8_t bigEndian[] = {0xFE, 0xFF, 0, '<', 0, 'b', 0, '/', 0, '>'};
    ASSERT_TRUE(document.LoadFromMemory(bigEndian, sizeof bigEndian, CMarkupDocument::kUtf16));
    EXPECT_EQ(document.Root().Name(), L"b");

    const uint8_t littleEndian[] = {0xFF, 0xFE, '<', 0, 'c', 0, '/', 0, '>', 0};
    ASSERT_TRUE(
        document.LoadFromMemory(littleEndian, sizeof littleEndian, CMarkupDocument::kUtf16));
    EXPECT_EQ(document.Root().Name(), L"c");

    const uint8_t unmarked[] = {'<', 0, 'c', 0, '/', 0, '>', 0};
    EXPECT_FALSE(document.LoadFromMemory(unmarked, sizeof unmarked, CMarkupDocument::kUtf16));
    EXPECT_FALSE(document.Root().IsValid());
}

TEST(MarkupDocumentTest, DeepNestingFailsInsteadOfOverflowing) {
    std::wstring markup;
    for (size_t i = 0; i < 100000; ++i) {
        markup += L"<a>";
    }
    CMarkupDocument document;
    EXPECT_FALSE(document.Load(markup));
    EXPECT_FALSE(document.Root().IsValid());
}

TEST(MarkupDocumentTest, EmbeddedTerminatorEndsTheText) {
    CMarkupDocument document;
    ASSERT_TRUE(document.Load(std::wstring(L"<a/>\0<<<", 8)));
    EXPECT_EQ(document.Root().Name(), L"a");
}

}  // namespace
}  // namespace tessel
