// The installation log's lines without a file: the time stamp's columns, one call one line, long
// texts cut whole, when the file starts over, and how a system error reads.
#include "base/LogLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "base/TextConversion.h"

namespace tessel {
namespace {

constexpr LogTime kMorning{2024, 3, 5, 7, 8, 9, 45};
// "yyyy-mm-dd hh:mm:ss.mmm " before the process id.
constexpr size_t kStampLength = 24;

TEST(LogLineTest, LineIsTimeStampProcessIdTextAndLineEnd) {
    EXPECT_EQ(FormatLogLine(kMorning, 4242, "registry: begun"),
              "2024-03-05 07:08:09.045 [4242] registry: begun\r\n");
    EXPECT_EQ(FormatLogLine(kMorning, 0, ""), "2024-03-05 07:08:09.045 [0] \r\n");
    EXPECT_EQ(FormatLogLine(kMorning, 4294967295u, "x"),
              "2024-03-05 07:08:09.045 [4294967295] x\r\n");
}

TEST(LogLineTest, TimeFieldsKeepTheirColumnsWhateverTheyHold) {
    struct Case {
        LogTime time;
        const char* stamp;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, "0000-00-00 00:00:00.000 "},
        {{12345, 123, 100, 24, 60, 61, 1000}, "9999-99-99 24:60:61.999 "},
        {{-1, -12, -1, -5, -1, -1, -999}, "0000-00-00 00:00:00.000 "},
        {{std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 1, 1, 1, 1, 1},
         "9999-00-01 01:01:01.001 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        const std::string line = FormatLogLine(c.time, 7, "text");
        EXPECT_EQ(line.substr(0, kStampLength), c.stamp);
        EXPECT_EQ(line.substr(kStampLength), "[7] text\r\n");
    }
}

TEST(LogLineTest, ControlCharactersCannotStartALineOfTheirOwn) {
    const char raw[] =
        "a\r\nb\tc\0d\x7F"
        "e\x1B[2Jf";
    const std::string text(raw, sizeof(raw) - 1);
    const std::string line = FormatLogLine(kMorning, 1, text);
    EXPECT_EQ(line.substr(kStampLength), "[1] a  b c d e [2Jf\r\n");
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line end, at the end";
    // Bytes of other characters pass: the text is UTF-8.
    EXPECT_EQ(FormatLogLine(kMorning, 1, "C:\\Tessel助手\\").substr(kStampLength),
              "[1] C:\\Tessel助手\\\r\n");
}

TEST(LogLineTest, LongTextIsCutWithoutSplittingACharacter) {
    const std::string exact(kMaxLogTextBytes, 'a');
    EXPECT_EQ(FormatLogLine(kMorning, 1, exact).substr(kStampLength), "[1] " + exact + "\r\n")
        << "at the limit nothing is cut";

    // Two, three and four bytes per character, from every offset: the cut never lands inside one.
    for (const std::string character : {"é", "助", "😀"}) {
        for (size_t offset = 0; offset < 4; ++offset) {
            SCOPED_TRACE(testing::Message() << character << " after " << offset << " bytes");
            std::string text(offset, 'x');
            while (text.size() <= kMaxLogTextBytes) {
                text += character;
            }
            const std::string line = FormatLogLine(kMorning, 1, text);
            const std::string kept = line.substr(kStampLength + 4, line.size() - kStampLength - 6);
            ASSERT_TRUE(kept.ends_with("...")) << "a cut text says so";
            EXPECT_LE(kept.size(), kMaxLogTextBytes);
            EXPECT_GE(kept.size(), kMaxLogTextBytes - 3);
            EXPECT_EQ(Utf8ToWide(kept).find(L'\xFFFD'), std::wstring::npos)
                << "no broken character";
        }
    }
}

TEST(LogLineTest, FileStartsOverOnlyWhenTheLineWouldPassTheLimit) {
    constexpr uint64_t kLimit = 1000;
    constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
    struct Case {
        uint64_t fileBytes;
        uint64_t lineBytes;
        uint64_t limit;
        bool restart;
    };
    const Case cases[] = {
        {0, 10, kLimit, false},
        {0, 5000, kLimit, false},  // an empty file takes even a line longer than the limit
        {990, 10, kLimit, false},  // up to the limit exactly
        {990, 11, kLimit, true},
        {kLimit, 0, kLimit, true},
        {5000, 1, kLimit, true},          // already past it, say after another program's lines
        {kMost - 1, kMost, kMost, true},  // no overflow in the sum
        {1, kMost, kMost, true},
        {1, kMost - 1, kMost, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fileBytes << " + " << c.lineBytes << " / " << c.limit);
        EXPECT_EQ(LogNeedsRestart(c.fileBytes, c.lineBytes, c.limit), c.restart);
    }
}

TEST(LogLineTest, SystemMessagesBecomeOneLine) {
    EXPECT_EQ(TrimSystemMessage(L"Access is denied.\r\n"), L"Access is denied.");
    EXPECT_EQ(TrimSystemMessage(L"  The process cannot access the file\r\nbecause it is being used "
                                L"by another process.\r\n\r\n"),
              L"The process cannot access the file because it is being used by another process.");
    EXPECT_EQ(TrimSystemMessage(L"a \t\r\n  b"), L"a b");
    EXPECT_EQ(TrimSystemMessage(L"\r\n"), L"");
    EXPECT_EQ(TrimSystemMessage(L""), L"");
}

TEST(LogLineTest, WindowsErrorsNameTheirCodeThenTheText) {
    EXPECT_EQ(FormatWindowsError(5, L"Access is denied."), L"Windows error 5: Access is denied.");
    EXPECT_EQ(FormatWindowsError(1234, L""), L"Windows error 1234") << "a code without a text";
    EXPECT_EQ(FormatWindowsError(0xFFFF, L"x"), L"Windows error 65535: x");
    // HRESULTs read as they are documented.
    EXPECT_EQ(FormatWindowsError(0x10000, L"x"), L"Windows error 0x00010000: x");
    EXPECT_EQ(FormatWindowsError(0x80070005, L"Access is denied."),
              L"Windows error 0x80070005: Access is denied.");
}

}  // namespace
}  // namespace tessel
