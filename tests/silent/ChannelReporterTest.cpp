#include "silent/ChannelReporter.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/silent/SilentTestSupport.h"

namespace tessel {
namespace {

using namespace testing_support;

std::string UniqueChannel() {
    return "ChannelReporterTest-" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// Reads the channel every 5 ms, as the installer's monitor does.
class SlowReader {
public:
    explicit SlowReader(std::string name) : m_name(std::move(name)) {
        m_channel.Open(m_name);
        m_thread = std::thread([this] {
            for (bool last = false; !last;) {
                last = m_stop;
                ::Sleep(5);
                std::string text = m_channel.Read(m_name);
                m_channel.Write(m_name, {});
                if (!text.empty()) {
                    m_seen.push_back(std::move(text));
                }
            }
        });
    }
    std::vector<std::string> Stop() {
        m_stop = true;
        m_thread.join();
        return m_seen;
    }

private:
    std::string m_name;
    CSharedMemoryMap m_channel;
    std::vector<std::string> m_seen;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

TEST(ChannelReporterTest, OnlyPercentagesMayBeOverwritten) {
    const std::string name = UniqueChannel();
    SlowReader reader(name);
    {
        ChannelReporter reporter(name);
        for (int round = 0; round < 3; ++round) {
            reporter.Report(MessageStyle::ExtractionStart, 100);
            for (int percent = 1; percent <= 100; ++percent) {
                reporter.Report(MessageStyle::ExtractionPercent, percent);
            }
            reporter.ReportDriverLine("v:1/1[x]");
            reporter.Report(MessageStyle::Finished, 1);
        }
        reporter.Flush();
    }
    const auto seen = reader.Stop();
    std::vector<std::string> mustArrive;
    for (const auto& message : seen) {
        if (message.find("\"Style\":1,") == std::string::npos) {
            mustArrive.push_back(message);
        }
    }
    const std::string start = FormatProgressMessage(MessageStyle::ExtractionStart, 100);
    const std::string line = FormatDriverLineMessage("v:1/1[x]");
    const std::string end = FormatProgressMessage(MessageStyle::Finished, 1);
    EXPECT_EQ(mustArrive,
              (std::vector<std::string>{start, line, end, start, line, end, start, line, end}));
    // The last percentage before each driver line arrives too.
    const std::string full = FormatProgressMessage(MessageStyle::ExtractionPercent, 100);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), full), 3);
}

TEST(ChannelReporterTest, RunNobodyFollowsIsNotHeldUp) {
    const std::string name = UniqueChannel();
    ChannelReporter reporter(name);
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        reporter.Report(MessageStyle::Error, i);
    }
    reporter.Flush();
    // One wait for a reader that never comes, then none.
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(4));
}

}  // namespace
}  // namespace tessel
