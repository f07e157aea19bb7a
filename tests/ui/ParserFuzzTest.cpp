#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "ui/ImageDescription.h"
#include "ui/MarkupDocument.h"

namespace tessel {
namespace {

// Mutation fuzzing of the two text parsers the skin feeds: each round takes a seed, applies a few
// random edits drawn from the parsers' own vocabulary and parses the result. A crash or an
// out-of-bounds read ends the process; the checks here are the parsers' own invariants.

const std::vector<std::wstring> kMarkupSeeds = {
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Window size=\"730,498\" caption=\"0,0,0,498\" "
    L"bktrans=\"true\"><Include source=\"Common.xml\"/><Font id=\"1\" name=\"x\" size=\"14\" "
    L"default=\"true\"/><VerticalLayout inset=\"10,10,10,10\" bkimage=\"WndInstall\\bk.png\">"
    L"<Button name=\"b\" text=\"a&amp;b&quot;c\" style=\"s\"/><!-- c --><Label>x&lt;y</Label>"
    L"</VerticalLayout></Window>",
    L"<Windows>\r\n<Style name=\"style_btn_1\" value=\"width=&quot;98&quot; height=&quot;30&quot; "
    L"\"/>\r\n<Windows/>",
    L"<a><b><c d=\"e\"/></b></a>",
};

const std::vector<std::wstring> kImageSeeds = {
    L"file='Common\\btn_Style_1.png' dest='0,3,16,19' source='0,0,150,40' corner='20,0,20,0'",
    L"file='a.png' mask='#FFFF00FF' fade='128' hole='true' xtiled='true' ytiled='true'",
    L"WndInstall\\bk.png",
};

const std::vector<std::wstring> kTokens = {
    L"<",      L">",      L"/>",     L"</",     L"\"",         L"'",  L"=",
    L"&",      L"&amp;",  L"&quot;", L"<!--",   L"-->",        L"<?", L"?>",
    L" ",      L"\t",     L",",      L"-",      L"9999999999", L"#",  L"\0",
    L"\xFFFF", L"\xD800", L"file='", L"dest='", L"</a>",       L"<a", L"x"};

std::wstring Mutate(const std::wstring& seed, std::mt19937& rng) {
    std::wstring text = seed;
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits; ++e) {
        const size_t pos = text.empty() ? 0 : rng() % (text.size() + 1);
        switch (rng() % 5) {
            case 0:
                if (!text.empty() && pos < text.size()) {
                    text.erase(pos, 1 + rng() % std::min<size_t>(8, text.size() - pos));
                }
                break;
            case 1:
                text.insert(pos, kTokens[rng() % kTokens.size()]);
                break;
            case 2:
                if (pos < text.size()) {
                    text[pos] = static_cast<wchar_t>(rng() % 0x80);
                }
                break;
            case 3:
                text.resize(pos);
                break;
            default:
                if (pos < text.size()) {
                    const size_t from = rng() % text.size();
                    text.insert(pos, text.substr(from, 1 + rng() % 16));
                }
                break;
        }
    }
    return text;
}

// Walks the whole tree; every view must be readable and the links must stay in the table.
size_t WalkTree(const CMarkupElement& element, size_t depth) {
    size_t count = 0;
    for (auto child = element; child.IsValid(); child = child.NextSibling()) {
        ++count;
        EXPECT_LE(child.AttributeCount(), CMarkupElement::kMaxAttributes);
        for (size_t i = 0; i < child.AttributeCount(); ++i) {
            volatile wchar_t sink = 0;
            for (wchar_t c : child.AttributeName(i))
                sink = c;
            for (wchar_t c : child.AttributeValue(i))
                sink = c;
            (void)sink;
        }
        EXPECT_LE(depth, CMarkupDocument::kMaxDepth + 1);
        count += WalkTree(child.FirstChild(), depth + 1);
    }
    return count;
}

TEST(ParserFuzzTest, MutatedMarkupNeverBreaksTheParser) {
    std::mt19937 rng(20261208);
    const auto start = std::chrono::steady_clock::now();
    constexpr int kRounds = 100000;
    int parsed = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::wstring input = Mutate(kMarkupSeeds[round % kMarkupSeeds.size()], rng);
        CMarkupDocument document;
        if (document.Load(input)) {
            ++parsed;
            WalkTree(document.Root(), 0);
        } else {
            ASSERT_FALSE(document.LastError().empty());
            ASSERT_FALSE(document.Root().IsValid());
        }
    }
    EXPECT_GT(parsed, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST(ParserFuzzTest, MutatedImageDescriptionsNeverBreakTheParser) {
    std::mt19937 rng(8122026);
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 100000; ++round) {
        const std::wstring description = Mutate(kImageSeeds[round % kImageSeeds.size()], rng);
        const std::wstring modifier = Mutate(L"dest='0,0,50,12' source='0,0,50,12'", rng);
        ImageDrawSpec spec;
        spec.Parse(description, modifier, round % 3 == 0 ? 150 : 100);
        ASSERT_GE(spec.fade, 0);
        ASSERT_LE(spec.fade, 255);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

}  // namespace
}  // namespace tessel
