#include "engine/ProgressMonitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/SharedMemoryMap.h"
#include "tests/support/ChannelStress.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

using testing_support::MessageRecorder;
using testing_support::RecordedMessage;
using testing_support::StartProcess;
using testing_support::SupportProgram;

// Generous: the machine may be busy with a build and other tests.
constexpr DWORD kDeadlineMs = 20'000;

std::string Msg(int style, const std::string& rest) {
    return R"({"Name":"InstallSilence","Style":)" + std::to_string(style) + rest + "}";
}
std::string Param(int style, int param) {
    return Msg(style, R"(,"Param":)" + std::to_string(param));
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// `text` as one command-line argument of a program that splits its line the C runtime's way.
std::wstring Argument(const std::string& text) {
    std::wstring quoted = L"\"";
    for (const char c : text) {
        if (c == '"') {
            quoted += L'\\';
        }
        quoted += static_cast<wchar_t>(c);
    }
    return quoted + L"\"";
}

// A process started with its first thread held, so that the monitor can watch it from its start.
struct HeldProcess {
    UniqueHandle process;
    UniqueHandle thread;
};
HeldProcess StartHeld(const std::wstring& commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::wstring mutableLine = commandLine;
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                          &info)) {
        return {};
    }
    return {UniqueHandle(info.hProcess), UniqueHandle(info.hThread)};
}

UniqueHandle Duplicate(HANDLE handle) {
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    return UniqueHandle(copy);
}

// One monitor on a channel of its own, fed by a writer in another process. The test holds the
// channel open too, so the block outlives a writer that ends before the monitor has looked.
// The recorder closes its mailbox when it goes, which ends a monitor still running.
class ProgressMonitorTest : public testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        m_channel = "TesselMonitorTest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(++counter);
        ASSERT_NE(m_holder.Open(m_channel), nullptr);
    }

    // Starts the monitor on the test's channel; it watches `process` when one is given.
    void StartMonitor(UniqueHandle process = {}, const std::string& channel = {}) {
        MonitoredInstallation installation;
        installation.window = m_recorder.Window();
        installation.mailbox = m_recorder.Mailbox();
        installation.channelName = channel.empty() ? m_channel : channel;
        installation.channel = std::make_unique<CSharedMemoryMap>();
        ASSERT_NE(installation.channel->Open(installation.channelName), nullptr);
        installation.process = std::move(process);
        ASSERT_TRUE(StartProgressMonitor(std::move(installation)));
    }

    UniqueHandle StartPeer(const std::wstring& arguments) {
        UniqueHandle peer =
            StartProcess(L"\"" + SupportProgram(L"channel_peer.exe") + L"\" " + arguments);
        EXPECT_TRUE(peer);
        return peer;
    }

    // Writes each text from another process: "paced" writes each once the monitor has taken the
    // one before, "raw" as fast as it can over whatever the channel holds.
    void WriteFromPeer(const std::vector<std::string>& texts, const wchar_t* pacing) {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring script = std::wstring(temp) + Widen(m_channel) + L".txt";
        {
            std::ofstream out(script.c_str(), std::ios::binary);
            for (const auto& text : texts) {
                out << text << '\n';
            }
        }
        m_writer = StartPeer(L"script " + Widen(m_channel) + L" \"" + script + L"\" " + pacing);
    }

    // A process of the test's own that the monitor watches: it ends when the test ends it.
    UniqueHandle StartIdleProcess() {
        UniqueHandle idle =
            StartProcess(L"\"" + SupportProgram(L"idle_process.exe") + L"\"");
        EXPECT_TRUE(idle);
        return idle;
    }

    // Once `text` is taken, the monitor no longer reads the channel but still reports the end of
    // its process: a message written after `text` must still be in the channel when the end is
    // reported, as the monitor would have handed it on first.
    void ExpectFollowingEndsAt(const std::string& text) {
        UniqueHandle process = StartIdleProcess();
        StartMonitor(Duplicate(process.Get()));
        ASSERT_TRUE(m_holder.Write(m_channel, text));
        ASSERT_TRUE(m_recorder.WaitUntil([&] { return m_holder.IsEmpty(m_channel); }, kDeadlineMs))
            << "the monitor never took the text";
        ASSERT_TRUE(m_holder.Write(m_channel, Param(1, 2)));
        constexpr UINT kEndedWith = 7;
        ASSERT_TRUE(::TerminateProcess(process.Get(), kEndedWith));
        ASSERT_TRUE(m_recorder.WaitForMessage(WM_INSTALL_PROCESSENDED, kDeadlineMs));
        const auto& got = m_recorder.Messages();
        ASSERT_EQ(got.size(), 1u) << "only the end of the process";
        EXPECT_EQ(got[0].wParam, kEndedWith);
        EXPECT_EQ(m_holder.Read(m_channel), Param(1, 2)) << "nobody takes messages any more";
    }

    std::string m_channel;
    CSharedMemoryMap m_holder;
    MessageRecorder m_recorder;
    UniqueHandle m_writer;
};

TEST_F(ProgressMonitorTest, TurnsEachKindIntoItsWindowMessageInOrder) {
    StartMonitor();
    WriteFromPeer({Param(0, 100), Param(1, 40), Param(7, 1), R"({"Style":1,"Param":99})",
                   Msg(4, R"(,"sParam":"v:3/10[x]")"), Param(5, 0), Param(2, 5), Param(3, 1)},
                  L"paced");
    ASSERT_TRUE(m_recorder.WaitFor(6, kDeadlineMs));
    const auto& got = m_recorder.Messages();
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got[0].message, WM_INSTALL_SETRANGE);
    EXPECT_EQ(got[0].wParam, 100u);
    EXPECT_TRUE(got[0].sent) << "the range is sent and waited for";
    EXPECT_EQ(got[1].message, WM_INSTALL_RELEASE);
    EXPECT_EQ(got[1].wParam, 40u);
    EXPECT_FALSE(got[1].sent);
    EXPECT_EQ(got[2].message, WM_INSTALL_DRIVER);
    EXPECT_EQ(got[2].driverLine, "v:3/10[x]");
    EXPECT_EQ(got[3].message, WM_INSTALL_WAITING);
    EXPECT_EQ(got[4].message, WM_INSTALL_ERROR);
    EXPECT_EQ(got[4].wParam, 5u);
    EXPECT_EQ(got[5].message, WM_INSTALL_FINISH);
    EXPECT_EQ(got[5].wParam, 0u);

    // After the finish the monitor keeps following: an update's second pass still arrives.
    ASSERT_TRUE(m_holder.Write(m_channel, Param(1, 100)));
    ASSERT_TRUE(m_recorder.WaitFor(7, kDeadlineMs));
    EXPECT_EQ(m_recorder.Messages()[6].wParam, 100u);
}

TEST_F(ProgressMonitorTest, RangeAlwaysArrivesBeforeTheFollowingPosition) {
    // The range is sent and handled before the position that follows it is even read.
    StartMonitor();
    WriteFromPeer({Param(0, 100), Param(1, 40)}, L"paced");
    ASSERT_TRUE(m_recorder.WaitFor(2, kDeadlineMs));
    const auto& got = m_recorder.Messages();
    EXPECT_EQ(got[0].message, WM_INSTALL_SETRANGE);
    EXPECT_EQ(got[1].message, WM_INSTALL_RELEASE);
    EXPECT_EQ(got[1].wParam, 40u);
}

TEST_F(ProgressMonitorTest, ProtocolViolationsAreSkipped) {
    StartMonitor();
    // The error message at the end is the witness: whatever the others caused arrived before it.
    WriteFromPeer(
        {"[1,2]", R"({"Name":5,"Style":1,"Param":1})", Msg(1, R"(,"Param":"x")"), Msg(0, ""),
         Msg(4, R"(,"sParam":7)"), R"({"Name":"InstallSilence"})", Param(1, 55), Param(2, 9)},
        L"paced");
    ASSERT_TRUE(m_recorder.WaitForMessage(WM_INSTALL_ERROR, kDeadlineMs));
    const auto& got = m_recorder.Messages();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_INSTALL_RELEASE);
    EXPECT_EQ(got[0].wParam, 55u);
    EXPECT_EQ(got[1].wParam, 9u);
}

TEST_F(ProgressMonitorTest, ForeignSenderEndsTheFollowingButNotTheWatching) {
    ExpectFollowingEndsAt(R"({"Name":"installsilence","Style":1,"Param":1})");
}

TEST_F(ProgressMonitorTest, TextThatIsNoJsonEndsTheFollowingButNotTheWatching) {
    ExpectFollowingEndsAt("abc");
}

TEST_F(ProgressMonitorTest, MegabyteMessageArrivesWhole) {
    StartMonitor();
    const std::string line = "v:" + std::string(1'000'000, 'x');
    ASSERT_TRUE(m_holder.Write(m_channel, Msg(4, R"(,"sParam":")" + line + "\"")));
    ASSERT_TRUE(m_recorder.WaitFor(1, kDeadlineMs));
    EXPECT_EQ(m_recorder.Messages()[0].driverLine, line);
}

// A writer that does not wait for the channel to be emptied loses messages to each other, but the
// reader never hands on a text torn between two of them: the monitor goes on following.
TEST_F(ProgressMonitorTest, AWriterThatDoesNotWaitLosesMessagesButNeverTearsOne) {
    StartMonitor();
    std::vector<std::string> burst;
    for (int i = 0; i < 2000; ++i) {
        // Lengths that differ by a digit, so that a torn text could still be JSON.
        burst.push_back(Param(1, i % 2 == 0 ? i * 10 : i));
    }
    WriteFromPeer(burst, L"raw");
    ASSERT_EQ(::WaitForSingleObject(m_writer.Get(), kDeadlineMs), WAIT_OBJECT_0);
    // The witness, written as a writer that waits would write it.
    ASSERT_TRUE(m_recorder.WaitUntil([&] { return m_holder.IsEmpty(m_channel); }, kDeadlineMs));
    ASSERT_TRUE(m_holder.Write(m_channel, Param(2, 4)));
    ASSERT_TRUE(m_recorder.WaitForMessage(WM_INSTALL_ERROR, kDeadlineMs))
        << "the monitor stopped following";
    const auto& got = m_recorder.Messages();
    size_t next = 0;
    for (size_t i = 0; i + 1 < got.size(); ++i) {
        ASSERT_EQ(got[i].message, WM_INSTALL_RELEASE);
        // Each must be one the writer wrote, later than the one before.
        bool found = false;
        while (next < burst.size() && !found) {
            found = Param(1, static_cast<int>(got[i].wParam)) == burst[next++];
        }
        ASSERT_TRUE(found) << "message " << i << " (" << got[i].wParam
                           << ") was never written, or not in this order";
    }
    EXPECT_EQ(got.back().message, WM_INSTALL_ERROR);
}

// The silent installer's reporter in another process against the monitor: every message handed
// on exactly once, in order, none torn, and the end of the writer last.
TEST_F(ProgressMonitorTest, EveryMessageOfTheReporterArrivesOnceInOrder) {
    constexpr int kMessages = 100'000;
    // A minute at most on an idle machine; a busy one gets far more time.
    constexpr DWORD kStressDeadlineMs = 300'000;
    HeldProcess writer = StartHeld(L"\"" + SupportProgram(L"channel_peer.exe") + L"\" report " +
                                   Widen(m_channel) + L" " + std::to_wstring(kMessages));
    ASSERT_TRUE(writer.process);
    StartMonitor(Duplicate(writer.process.Get()));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(::ResumeThread(writer.thread.Get()), static_cast<DWORD>(-1));
    const bool ended = m_recorder.WaitForMessage(WM_INSTALL_PROCESSENDED, kStressDeadlineMs);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto& got = m_recorder.Messages();
    std::printf("%zu messages for %d written, the writer's end included, in %.1f s\n",
                got.size(), kMessages, seconds);
    ASSERT_TRUE(ended) << "the writer's end was not reported";
    ASSERT_EQ(got.size(), static_cast<size_t>(kMessages) + 1);
    for (int i = 0; i < kMessages; ++i) {
        const RecordedMessage& message = got[static_cast<size_t>(i)];
        if (testing_support::IsStressPercentage(i)) {
            ASSERT_EQ(message.message, WM_INSTALL_RELEASE) << "message " << i;
            ASSERT_EQ(message.wParam, static_cast<WPARAM>(i)) << "message " << i;
        } else {
            ASSERT_EQ(message.message, WM_INSTALL_DRIVER) << "message " << i;
            ASSERT_EQ(message.driverLine, testing_support::StressDriverLine(i)) << "message " << i;
        }
    }
    EXPECT_EQ(got.back().message, WM_INSTALL_PROCESSENDED);
    EXPECT_EQ(got.back().wParam, 0u);
}

TEST_F(ProgressMonitorTest, WhatAnEndedProcessLeftInTheChannelArrivesBeforeItsEnd) {
    // Written by a process that has ended before the monitor starts.
    UniqueHandle writer = StartPeer(L"write " + Widen(m_channel) + L" " + Argument(Param(1, 33)));
    ASSERT_TRUE(writer);
    ASSERT_EQ(::WaitForSingleObject(writer.Get(), kDeadlineMs), WAIT_OBJECT_0);
    StartMonitor(Duplicate(writer.Get()));
    ASSERT_TRUE(m_recorder.WaitForMessage(WM_INSTALL_PROCESSENDED, kDeadlineMs));
    const auto& got = m_recorder.Messages();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_INSTALL_RELEASE);
    EXPECT_EQ(got[0].wParam, 33u);
    EXPECT_EQ(got[1].message, WM_INSTALL_PROCESSENDED);
}

TEST_F(ProgressMonitorTest, AWriterThatEndsRightAfterItsLastMessageLosesNothing) {
    // The last message is written without waiting for it to be taken, and the writer ends at
    // once: the monitor may see the end before the message.
    constexpr int kMessages = 300;
    UniqueHandle writer =
        StartPeer(L"report " + Widen(m_channel) + L" " + std::to_wstring(kMessages) + L" exit");
    ASSERT_TRUE(writer);
    StartMonitor(Duplicate(writer.Get()));
    ASSERT_TRUE(m_recorder.WaitForMessage(WM_INSTALL_PROCESSENDED, kDeadlineMs));
    const auto& got = m_recorder.Messages();
    ASSERT_EQ(got.size(), static_cast<size_t>(kMessages) + 1);
    EXPECT_EQ(got[kMessages - 1].driverLine, testing_support::StressDriverLine(kMessages - 1));
    EXPECT_EQ(got.back().message, WM_INSTALL_PROCESSENDED);
}

// Another program created the channel first, one page small, and left it full of bytes without a
// terminator. The monitor reads within the page: it still hands on a message that fits, and its
// last look (after the end of its process) over the unterminated page does not crash it.
TEST_F(ProgressMonitorTest, ASmallBlockCreatedByAnotherProgramIsReadWithinItsView) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::string name = m_channel + "-small";
    UniqueHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              system.dwPageSize, name.c_str()));
    ASSERT_TRUE(mapping);
    UniqueMapView view(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(view);
    UniqueHandle process = StartIdleProcess();
    StartMonitor(Duplicate(process.Get()), name);

    CSharedMemoryMap writer;
    ASSERT_NE(writer.Open(name), nullptr);
    ASSERT_TRUE(writer.Write(name, Param(1, 12)));
    ASSERT_TRUE(m_recorder.WaitFor(1, kDeadlineMs));
    std::memset(view.Get(), 'x', system.dwPageSize);
    ASSERT_TRUE(::TerminateProcess(process.Get(), 0));
    ASSERT_TRUE(m_recorder.WaitForMessage(WM_INSTALL_PROCESSENDED, kDeadlineMs));
    const auto& got = m_recorder.Messages();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].wParam, 12u);
}

TEST_F(ProgressMonitorTest, EndsWhenTheWindowHasClosedItsMailbox) {
    // The recorder's mailbox shared, as the install window shares its own; the monitor gives up
    // its share when it ends.
    std::weak_ptr<ProgressMailbox> mailbox = m_recorder.Mailbox();
    StartMonitor();
    ASSERT_TRUE(m_holder.Write(m_channel, Param(1, 1)));
    ASSERT_TRUE(m_recorder.WaitFor(1, kDeadlineMs));
    m_recorder.Mailbox()->Close();
    EXPECT_TRUE(m_recorder.WaitUntil([&] { return mailbox.use_count() == 1; }, kDeadlineMs))
        << "the monitor still runs";
}

}  // namespace
}  // namespace tessel
