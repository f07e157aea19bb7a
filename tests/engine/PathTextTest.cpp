#include "engine/PathText.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

struct PathCase {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(PathTextTest, TrimSeparatorsRemovesBackslashesBeforeForwardSlashes) {
    const PathCase cases[] = {
        {L"\\\\Folder\\\\", L"Folder"},
        {L"C:\\A\\/", L"C:\\A\\"},  // the backslash before the slash survives
        {L"/C:\\A/", L"C:\\A"},
        {L"\\/x/\\", L"x"},
        {L"", L""},
        {L"\\\\\\", L""},
        {L"///", L""},
        {L"C:\\", L"C:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "input index " << (&c - cases));
        std::wstring text = c.input;
        EXPECT_EQ(TrimSeparators(text), c.expected);
        EXPECT_EQ(text, c.expected) << "changed in place";
    }
}

TEST(PathTextTest, NormalizeFolderEndsWithOneBackslash) {
    const PathCase cases[] = {
        {L"C:\\A", L"C:\\A\\"},
        {L"C:\\A\\", L"C:\\A\\"},
        {L"C:\\A\\\\", L"C:\\A\\"},
        {L"C:\\", L"C:\\"},
        {L"D:\\Games//", L"D:\\Games\\"},
        {L"\\\\server\\share", L"server\\share\\"},  // a leading pair of backslashes is lost
        {L"", L"\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "input index " << (&c - cases));
        std::wstring text = c.input;
        EXPECT_EQ(NormalizeFolder(text), c.expected);
        EXPECT_EQ(text, c.expected);
    }
}

}  // namespace
}  // namespace tessel
