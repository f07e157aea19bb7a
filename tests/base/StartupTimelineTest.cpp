#include "base/StartupTimeline.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace tessel {
namespace {

// One timeline per process: this program's. The line names every step in order with its own
// duration, counts the time before the first mark from the process's creation, and is given once.
TEST(StartupTimelineTest, TellsEveryStepOnceInOrder) {
    StartupTimeline& timeline = StartupTimeline::Instance();
    EXPECT_EQ(timeline.Describe(), L"");
    timeline.Mark(L"entry");
    timeline.Mark(L"skin and language");
    const std::wstring line = timeline.Finish(L"first frame");
    EXPECT_TRUE(std::regex_match(line, std::wregex(L"[0-9]+ ms to first frame: entry [0-9]+ ms, "
                                                   L"skin and language [0-9]+ ms, first frame "
                                                   L"[0-9]+ ms")))
        << std::string(line.begin(), line.end());
    EXPECT_EQ(timeline.Finish(L"first frame"), L"") << "a second first frame is not the start";
}

}  // namespace
}  // namespace tessel
