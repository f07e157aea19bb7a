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

TEST(PathTextTest, SplitPathLengthsAreThoseOfTheRuntimesSplitter) {
    struct Case {
        const wchar_t* path;
        PathPartLengths expected;
    };
    const Case cases[] = {
        {L"C:\\Apps\\Tessel\\setup.exe", {2, 13, 5, 4}},
        {L"C:\\Apps\\Tessel\\", {2, 13, 0, 0}},
        {L"C:\\Apps/Tessel", {2, 6, 6, 0}},  // either separator ends the directory
        {L"C:\\a.b\\c", {2, 5, 1, 0}},      // a dot before the last separator is no extension
        {L"C:\\x.tar.gz", {2, 1, 5, 3}},      // the last dot starts it
        {L"C:\\.profile", {2, 1, 0, 8}},
        {L"C:name.txt", {2, 0, 4, 4}},
        {L"C:", {2, 0, 0, 0}},
        {L"\\\\server\\share\\x", {0, 15, 1, 0}},
        {L"Apps", {0, 0, 4, 0}},
        {L"1:x", {2, 0, 1, 0}},  // any character before the colon
        {L"", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const PathPartLengths lengths = SplitPathLengths(c.path);
        EXPECT_EQ(lengths.drive, c.expected.drive);
        EXPECT_EQ(lengths.directory, c.expected.directory);
        EXPECT_EQ(lengths.name, c.expected.name);
        EXPECT_EQ(lengths.extension, c.expected.extension);
    }
}

}  // namespace
}  // namespace tessel
