#include "silent/DriverLineSplitter.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

using Lines = std::vector<std::string>;

TEST(DriverLineSplitterTest, LinesSurviveAnyChunkBoundary) {
    const std::string stream = "v:1/4[Keyboard driver]\nv:2/4[x]\r\ndownloaded\n\ndone\n";
    const Lines expected = {"v:1/4[Keyboard driver]", "v:2/4[x]", "downloaded", "", "done"};
    for (size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        SCOPED_TRACE(chunk);
        DriverLineSplitter splitter;
        Lines lines;
        for (size_t at = 0; at < stream.size(); at += chunk) {
            for (auto& line : splitter.Feed(std::string_view(stream).substr(at, chunk))) {
                lines.push_back(std::move(line));
            }
        }
        EXPECT_EQ(lines, expected);
    }
}

TEST(DriverLineSplitterTest, UnfinishedLineWaitsForItsEnd) {
    DriverLineSplitter splitter;
    EXPECT_TRUE(splitter.Feed("v:3/10").empty());
    EXPECT_EQ(splitter.Feed("[x]\nv:4"), Lines{"v:3/10[x]"});
}

TEST(DriverLineSplitterTest, OverlongLineIsDroppedAndTheNextOneKept) {
    DriverLineSplitter splitter;
    const std::string flood(DriverLineSplitter::kMaxLineLength + 10, 'x');
    EXPECT_TRUE(splitter.Feed(flood).empty());
    EXPECT_TRUE(splitter.Feed(flood).empty());
    EXPECT_EQ(splitter.Feed("tail\ndone\n"), Lines{"done"});
}

TEST(DriverLineSplitterTest, ClassifiesLines) {
    struct Case {
        std::string line;
        DriverLine::Kind kind;
        std::string progress;
    };
    const Case cases[] = {
        {"v:3/10[x]", DriverLine::Kind::Progress, "v:3/10[x]"},
        {"step v:1/2[Mouse]", DriverLine::Kind::Progress, "v:1/2[Mouse]"},
        {"downloaded", DriverLine::Kind::Downloaded, ""},
        {"done", DriverLine::Kind::Done, ""},
        {"Done", DriverLine::Kind::Ignore, ""},
        {"done ", DriverLine::Kind::Ignore, ""},
        {"downloading", DriverLine::Kind::Ignore, ""},
        {"", DriverLine::Kind::Ignore, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const DriverLine line = ClassifyDriverLine(c.line);
        EXPECT_EQ(line.kind, c.kind);
        EXPECT_EQ(line.progress, c.progress);
    }
}

}  // namespace
}  // namespace tessel
