#include "silent/ProgressReport.h"

#include <gtest/gtest.h>

#include "engine/InstallMessages.h"
#include "engine/ProgressMessage.h"

namespace tessel {
namespace {

TEST(ProgressReportTest, MessagesAreCompactWithMembersInOrder) {
    EXPECT_EQ(FormatProgressMessage(MessageStyle::ExtractionStart, 100),
              R"({"Name":"InstallSilence","Style":0,"Param":100})");
    EXPECT_EQ(FormatProgressMessage(MessageStyle::Error, 2),
              R"({"Name":"InstallSilence","Style":2,"Param":2})");
    EXPECT_EQ(FormatDriverLineMessage("v:3/10[x]"),
              R"({"Name":"InstallSilence","Style":4,"sParam":"v:3/10[x]"})");
}

// Whatever the helper writes, the installer's monitor reads back exactly that line.
TEST(ProgressReportTest, DriverLinesReachTheMonitorUnchanged) {
    const std::string lines[] = {
        "v:1/4[Keyboard driver]", "v:2/4[a \"quoted\" name]", "v:3/4[back\\slash]",
        "v:4/4[tab\there]",       "v:1/1[\xC4\xE3\xBA\xC3]",  // ANSI bytes pass through
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line);
        const ProgressAction action = InterpretProgressMessage(FormatDriverLineMessage(line));
        EXPECT_EQ(action.kind, ProgressAction::Kind::PostDriverLine);
        EXPECT_EQ(action.driverLine, line);
    }
}

TEST(ProgressReportTest, EveryStyleIsUnderstoodByTheMonitor) {
    struct Case {
        MessageStyle style;
        int param;
        uint32_t message;
    };
    const Case cases[] = {
        {MessageStyle::ExtractionStart, 100, WM_INSTALL_SETRANGE},
        {MessageStyle::ExtractionPercent, 40, WM_INSTALL_RELEASE},
        {MessageStyle::Error, 3, WM_INSTALL_ERROR},
        {MessageStyle::Finished, 1, WM_INSTALL_FINISH},
        {MessageStyle::DriverDownloaded, 0, WM_INSTALL_WAITING},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        EXPECT_EQ(InterpretProgressMessage(FormatProgressMessage(c.style, c.param)).message,
                  c.message);
    }
}

TEST(ProgressReportTest, PercentIsTruncatedAndEndsAtOneHundred) {
    EXPECT_EQ(ExtractionPercent(1, 5), 20);
    EXPECT_EQ(ExtractionPercent(5, 5), 100);
    EXPECT_EQ(ExtractionPercent(1, 3), 33);
    EXPECT_EQ(ExtractionPercent(0, 200), 0);
    EXPECT_EQ(ExtractionPercent(1, 200), 0);
    EXPECT_EQ(ExtractionPercent(0, 0), 100);
    for (size_t total = 1; total <= 400; ++total) {
        SCOPED_TRACE(total);
        EXPECT_EQ(ExtractionPercent(total, total), 100);
        for (size_t done = 1; done <= total; ++done) {
            ASSERT_LE(ExtractionPercent(done - 1, total), ExtractionPercent(done, total));
        }
    }
}

}  // namespace
}  // namespace tessel
