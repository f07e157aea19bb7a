#include "silent/ChannelReporter.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/silent/SilentTestSupport.h"

namespace tessel {
namespace {

using namespace testing_support;

// Generous: the machine may be busy with a build and other tests.
constexpr DWORD kDeadlineMs = 20'000;

std::string UniqueChannel() {
    return "ChannelReporterTest-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// Takes a message out of the channel every 5 ms, as the installer's monitor does when idle (its
// pace, not a wait for anything), until stopped.
class SlowReader {
public:
    explicit SlowReader(std::string name) : m_name(std::move(name)) {
        m_channel.Open(m_name);
        m_thread = std::thread([this] {
            while (!m_stop) {
                ::Sleep(kPaceMs);
                std::string text = m_channel.Take(m_name);
                if (!text.empty()) {
                    const std::lock_guard lock(m_mutex);
                    m_seen.push_back(std::move(text));
                }
            }
        });
    }
    ~SlowReader() { Stop(); }
    SlowReader(const SlowReader&) = delete;
    SlowReader& operator=(const SlowReader&) = delete;

    std::vector<std::string> Seen() const {
        const std::lock_guard lock(m_mutex);
        return m_seen;
    }
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

private:
    static constexpr DWORD kPaceMs = 5;
    std::string m_name;
    CSharedMemoryMap m_channel;  // used by the reading thread only
    mutable std::mutex m_mutex;
    std::vector<std::string> m_seen;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

TEST(ChannelReporterTest, EveryMessageArrivesInOrderWhileAReaderFollows) {
    const std::string name = UniqueChannel();
    SlowReader reader(name);
    std::vector<std::string> written;
    {
        ChannelReporter reporter(name);
        for (int round = 0; round < 2; ++round) {
            reporter.Report(MessageStyle::ExtractionStart, 100);
            written.push_back(FormatProgressMessage(MessageStyle::ExtractionStart, 100));
            for (int percent = 1; percent <= 100; ++percent) {
                reporter.Report(MessageStyle::ExtractionPercent, percent);
                written.push_back(FormatProgressMessage(MessageStyle::ExtractionPercent, percent));
            }
            reporter.ReportDriverLine("v:1/1[x]");
            written.push_back(FormatDriverLineMessage("v:1/1[x]"));
            reporter.Report(MessageStyle::Finished, 1);
            written.push_back(FormatProgressMessage(MessageStyle::Finished, 1));
        }
        // Returns once the reader has taken the last message.
        reporter.Flush();
    }
    CSharedMemoryMap channel;
    channel.Open(name);
    EXPECT_TRUE(channel.IsEmpty(name));
    reader.Stop();
    EXPECT_EQ(reader.Seen(), written);
}

TEST(ChannelReporterTest, RunNobodyFollowsIsNotHeldUp) {
    const std::string name = UniqueChannel();
    const auto patience = std::chrono::milliseconds(300);
    ChannelReporter reporter(name, patience);
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        reporter.Report(MessageStyle::Error, i);
    }
    reporter.Flush();
    // Two waits for a reader that never comes (it is silent, then gone), then none.
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2 * patience + std::chrono::seconds(3));
    CSharedMemoryMap channel;
    channel.Open(name);
    EXPECT_EQ(channel.Read(name), FormatProgressMessage(MessageStyle::Error, 49));
}

// A reader that stalls for longer than the reporter's patience: the percentages meanwhile are left
// out rather than written over the message it has not taken (which it could read torn, or clear
// unread with the one it took), and the finish waits for the emptied channel.
TEST(ChannelReporterTest, AStalledReaderMissesPercentagesButGetsTheFinish) {
    const std::string name = UniqueChannel();
    const auto patience = std::chrono::milliseconds(3000);
    ChannelReporter reporter(name, patience);
    reporter.Report(MessageStyle::ExtractionStart, 100);
    const std::string unread = FormatProgressMessage(MessageStyle::ExtractionStart, 100);
    reporter.Report(MessageStyle::ExtractionPercent, 1);  // waits in vain: the reader is silent
    reporter.Report(MessageStyle::ExtractionPercent, 2);  // left out at once
    CSharedMemoryMap channel;
    channel.Open(name);
    EXPECT_EQ(channel.Read(name), unread);

    std::atomic<bool> reported = false;
    std::thread finisher([&] {
        reporter.Report(MessageStyle::Finished, 1);
        reported = true;
    });
    // For a stretch well inside the patience the finish waits behind the unread message.
    const auto watchUntil = std::chrono::steady_clock::now() + patience / 10;
    bool untouched = true;
    while (untouched && std::chrono::steady_clock::now() < watchUntil) {
        untouched = channel.Read(name) == unread;
        ::Sleep(1);
    }
    EXPECT_TRUE(untouched) << "the finish was written over the unread message";
    EXPECT_EQ(channel.Take(name), unread);

    std::string next;
    const ULONGLONG deadline = ::GetTickCount64() + kDeadlineMs;
    while (next.empty() && ::GetTickCount64() < deadline) {
        next = channel.Take(name);
        ::Sleep(1);
    }
    EXPECT_EQ(next, FormatProgressMessage(MessageStyle::Finished, 1))
        << "the finish did not follow the emptied channel";
    finisher.join();
    EXPECT_TRUE(reported);
    reporter.Flush();  // taken already: returns at once
}

// A reader that comes back after the reporter stopped waiting for it gets the reporter's patience
// again: from the first emptied channel on, every message arrives.
TEST(ChannelReporterTest, AReaderThatComesBackIsWaitedForAgain) {
    const std::string name = UniqueChannel();
    ChannelReporter reporter(name, std::chrono::milliseconds(500));
    reporter.Report(MessageStyle::ExtractionStart, 100);
    reporter.Report(MessageStyle::ExtractionPercent, 1);  // waits for nobody, then is left out
    reporter.Report(MessageStyle::ExtractionPercent, 2);  // left out at once

    CSharedMemoryMap channel;
    channel.Open(name);
    EXPECT_EQ(channel.Take(name), FormatProgressMessage(MessageStyle::ExtractionStart, 100));
    std::vector<std::string> seen;
    std::atomic<bool> done = false;
    std::thread reader([&] {
        CSharedMemoryMap own;
        own.Open(name);
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kDeadlineMs);
        while (!done && std::chrono::steady_clock::now() < deadline) {
            ::Sleep(5);
            std::string text = own.Take(name);
            if (!text.empty()) {
                seen.push_back(std::move(text));
            }
        }
    });
    for (int percent = 3; percent <= 50; ++percent) {
        reporter.Report(MessageStyle::ExtractionPercent, percent);
    }
    reporter.Flush();
    done = true;
    reader.join();
    ASSERT_EQ(seen.size(), 48u);
    EXPECT_EQ(seen.front(), FormatProgressMessage(MessageStyle::ExtractionPercent, 3));
    EXPECT_EQ(seen.back(), FormatProgressMessage(MessageStyle::ExtractionPercent, 50));
}

// Another program's bytes in the channel are no sign of a reader gone: they are written over once
// the reporter's patience has passed, and the messages after them are still each waited for.
TEST(ChannelReporterTest, ForeignBytesAreWrittenOverWithoutGivingUpOnTheReader) {
    for (const bool terminated : {true, false}) {
        SCOPED_TRACE(terminated ? "a foreign text" : "bytes without a terminator");
        const std::string name = UniqueChannel() + (terminated ? "-text" : "-bytes");
        CSharedMemoryMap squatter;
        auto* block = static_cast<char*>(squatter.Open(name));
        ASSERT_NE(block, nullptr);
        if (terminated) {
            squatter.Write(name, "not a message of ours");
        } else {
            std::memset(block, 'x', kMappingSize);
        }
        ChannelReporter reporter(name);
        std::vector<std::string> written;
        reporter.Report(MessageStyle::ExtractionStart, 100);
        written.push_back(FormatProgressMessage(MessageStyle::ExtractionStart, 100));
        SlowReader reader(name);
        for (int percent = 1; percent <= 30; ++percent) {
            reporter.Report(MessageStyle::ExtractionPercent, percent);
            written.push_back(FormatProgressMessage(MessageStyle::ExtractionPercent, percent));
        }
        reporter.Flush();
        reader.Stop();
        EXPECT_EQ(reader.Seen(), written);
    }
}

}  // namespace
}  // namespace tessel
