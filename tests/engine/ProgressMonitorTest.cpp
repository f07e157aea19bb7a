#include "engine/ProgressMonitor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/SharedMemoryMap.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

using testing_support::MessageRecorder;
using testing_support::RunProcess;
using testing_support::StartProcess;
using testing_support::SupportProgram;

std::string Msg(int style, const std::string& rest) {
    return R"({"Name":"InstallSilence","Style":)" + std::to_string(style) + rest + "}";
}
std::string Param(int style, int param) {
    return Msg(style, R"(,"Param":)" + std::to_string(param));
}

// One monitor on a channel of its own, fed by a writer in another process. The test holds the
// channel open too, so the block outlives a writer that exits before the monitor has opened it.
class ProgressMonitorTest : public testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        m_channel = "TesselMonitorTest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(++counter);
        ASSERT_NE(m_holder.Open(m_channel), nullptr);
        ASSERT_TRUE(StartProgressMonitor(m_recorder.Window(), m_channel));
    }

    void TearDown() override {
        // Ends the monitor: a text that is not JSON.
        m_holder.Write(m_channel, "stop");
        m_recorder.PumpFor(50);
    }

    // Writes each text from another process, `gapMs` apart; a negative gap writes each once the
    // monitor has taken the one before, so nothing is overwritten however loaded the machine is.
    void WriteFromPeer(const std::vector<std::string>& texts, int gapMs) {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring wideChannel(m_channel.begin(), m_channel.end());
        const std::wstring script = std::wstring(temp) + wideChannel + L".txt";
        {
            std::ofstream out(script.c_str(), std::ios::binary);
            for (const auto& text : texts) {
                out << text << '\n';
            }
        }
        const std::wstring command = L"\"" + SupportProgram(L"channel_peer.exe") + L"\" script " +
                                     wideChannel + L" \"" + script + L"\" " +
                                     std::to_wstring(gapMs);
        m_writer = StartProcess(command);
        ASSERT_TRUE(m_writer);
    }

    std::string m_channel;
    CSharedMemoryMap m_holder;
    MessageRecorder m_recorder;
    UniqueHandle m_writer;
};

TEST_F(ProgressMonitorTest, TurnsEachKindIntoItsWindowMessageInOrder) {
    WriteFromPeer({Param(0, 100), Param(1, 40), Param(7, 1), R"({"Style":1,"Param":99})",
                   Msg(4, R"(,"sParam":"v:3/10[x]")"), Param(5, 0), Param(2, 5), Param(3, 1)},
                  -1);
    ASSERT_TRUE(m_recorder.WaitFor(6, 5000));
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

    // After the finish the monitor keeps polling: a later message still arrives.
    WriteFromPeer({Param(1, 100)}, 0);
    ASSERT_TRUE(m_recorder.WaitFor(7, 3000));
    EXPECT_EQ(m_recorder.Messages()[6].wParam, 100u);
}

TEST_F(ProgressMonitorTest, RangeAlwaysArrivesBeforeTheFollowingPosition) {
    // The range is sent and handled before the position that follows it is even read.
    WriteFromPeer({Param(0, 100), Param(1, 40)}, -1);
    ASSERT_TRUE(m_recorder.WaitFor(2, 5000));
    const auto& got = m_recorder.Messages();
    EXPECT_EQ(got[0].message, WM_INSTALL_SETRANGE);
    EXPECT_EQ(got[1].message, WM_INSTALL_RELEASE);
    EXPECT_EQ(got[1].wParam, 40u);
}

TEST_F(ProgressMonitorTest, ProtocolViolationsAreSkipped) {
    WriteFromPeer(
        {"[1,2]", R"({"Name":5,"Style":1,"Param":1})", Msg(1, R"(,"Param":"x")"), Msg(0, ""),
         Msg(4, R"(,"sParam":7)"), R"({"Name":"InstallSilence"})", Param(1, 55)},
        -1);
    ASSERT_TRUE(m_recorder.WaitFor(1, 5000));
    m_recorder.PumpFor(50);
    ASSERT_EQ(m_recorder.Messages().size(), 1u);
    EXPECT_EQ(m_recorder.Messages()[0].wParam, 55u);
}

TEST_F(ProgressMonitorTest, ForeignSenderEndsTheMonitor) {
    WriteFromPeer({R"({"Name":"installsilence","Style":1,"Param":1})"}, 0);
    ASSERT_EQ(::WaitForSingleObject(m_writer.Get(), 5000), WAIT_OBJECT_0);
    m_recorder.PumpFor(100);  // the monitor has taken the text and ended
    WriteFromPeer({Param(1, 2)}, 0);
    ASSERT_EQ(::WaitForSingleObject(m_writer.Get(), 5000), WAIT_OBJECT_0);
    m_recorder.PumpFor(100);
    EXPECT_TRUE(m_recorder.Messages().empty());
    EXPECT_EQ(m_holder.Read(m_channel), Param(1, 2)) << "nobody takes messages any more";
}

TEST_F(ProgressMonitorTest, TextThatIsNoJsonEndsTheMonitor) {
    WriteFromPeer({"abc"}, 0);
    ASSERT_EQ(::WaitForSingleObject(m_writer.Get(), 5000), WAIT_OBJECT_0);
    m_recorder.PumpFor(100);
    m_holder.Write(m_channel, Param(1, 3));
    m_recorder.PumpFor(100);
    EXPECT_TRUE(m_recorder.Messages().empty());
}

TEST_F(ProgressMonitorTest, MegabyteMessageArrivesWhole) {
    const std::string line = "v:" + std::string(1'000'000, 'x');
    m_holder.Write(m_channel, Msg(4, R"(,"sParam":")" + line + "\""));
    ASSERT_TRUE(m_recorder.WaitFor(1, 5000));
    EXPECT_EQ(m_recorder.Messages()[0].driverLine, line);
}

TEST_F(ProgressMonitorTest, WritesFasterThanThePollLoseMessagesButNothingElse) {
    std::vector<std::string> burst;
    for (int i = 0; i < 2000; ++i) {
        burst.push_back(Param(1, i));
    }
    WriteFromPeer(burst, 0);
    ASSERT_EQ(::WaitForSingleObject(m_writer.Get(), 20000), WAIT_OBJECT_0);
    m_recorder.PumpFor(100);
    const auto& got = m_recorder.Messages();
    EXPECT_LT(got.size(), burst.size());
    for (size_t i = 1; i < got.size(); ++i) {
        EXPECT_LT(got[i - 1].wParam, got[i].wParam) << "never repeated, never reordered";
    }
    // Still following the channel.
    const size_t before = got.size();
    m_holder.Write(m_channel, Param(2, 4));
    ASSERT_TRUE(m_recorder.WaitFor(before + 1, 3000));
    EXPECT_EQ(m_recorder.Messages().back().message, WM_INSTALL_ERROR);
}

}  // namespace
}  // namespace tessel
