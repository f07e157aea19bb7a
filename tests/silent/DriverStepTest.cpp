// The driver-component step against real helper processes. Each case uses its own pipe name.
#include "silent/DriverStep.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "base/KernelHandles.h"
#include "base/ProcessCleanup.h"
#include "silent/ProductNames.h"
#include "tests/silent/SilentTestSupport.h"

namespace tessel {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

class DriverStepTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_name = std::wstring(name.begin(), name.end());
        m_folder = TestProgramFolder() + L"driver-step\\" + m_name + L"\\";
        fs::remove_all(fs::path(m_folder));
        fs::create_directories(fs::path(m_folder));
        m_pipe = L"DriverStepTest-" + m_name;
    }

    // Puts `program` into the folder under the helper's name.
    void UseAsHelper(const std::wstring& program) {
        ASSERT_TRUE(::CopyFileW(program.c_str(), (m_folder + kNetHelperFile).c_str(), FALSE));
    }

    DriverStepOutcome Run(DriverStepTimeouts timeouts = {}) {
        return RunDriverStep(
            m_folder, [&](const DriverLine& line) { m_lines.push_back(line); }, m_pipe, timeouts,
            &m_error);
    }

    std::wstring m_name;
    std::wstring m_folder;
    std::wstring m_pipe;
    std::vector<DriverLine> m_lines;
    uint32_t m_error = 0;  // what the step reports for the log
};

TEST_F(DriverStepTest, HelperLinesArriveInOrderUntilDone) {
    UseAsHelper(BesideTestProgram(TESSEL_PRODUCT_FILES) + L"\\" + kNetHelperFile);
    EXPECT_EQ(Run(), DriverStepOutcome::Done);
    std::vector<std::string> progress;
    int downloaded = 0;
    for (const auto& line : m_lines) {
        if (line.kind == DriverLine::Kind::Progress) {
            progress.push_back(line.progress);
        } else if (line.kind == DriverLine::Kind::Downloaded) {
            ++downloaded;
        }
    }
    EXPECT_EQ(progress,
              (std::vector<std::string>{"v:1/4[Keyboard driver]", "v:2/4[Receiver driver]",
                                        "v:3/4[Media keys driver]", "v:4/4[Mouse driver]"}));
    EXPECT_EQ(downloaded, 1);
    EXPECT_EQ(m_lines.back().kind, DriverLine::Kind::Downloaded);
}

TEST_F(DriverStepTest, MissingHelperEndsTheStep) {
    EXPECT_EQ(Run(), DriverStepOutcome::NoHelper);
    EXPECT_EQ(m_error, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND)) << "CreateProcess's reason";
}

TEST_F(DriverStepTest, HelperThatExitsWithoutConnectingDoesNotHang) {
    UseAsHelper(BesideTestProgram(TESSEL_EXITING_PROGRAM));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(), DriverStepOutcome::NotConnected);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(DriverStepTest, HelperThatNeverConnectsEndsAtTheTimeOut) {
    UseAsHelper(BesideTestProgram(TESSEL_IDLE_PROGRAM));
    DriverStepTimeouts timeouts;
    timeouts.connectMs = 300;
    EXPECT_EQ(Run(timeouts), DriverStepOutcome::NotConnected);
    TerminateProcessesByName({kNetHelperFile});
}

// Runs the step against FakeHelper.cpp behaving as `behaviour`.
class MisbehavingHelperTest : public DriverStepTest {
protected:
    void UseFakeHelper(const char* behaviour) {
        ::SetEnvironmentVariableA("TESSEL_FAKE_HELPER", behaviour);
        UseAsHelper(BesideTestProgram(L"fake_helper.exe"));
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("TESSEL_FAKE_HELPER", nullptr);
        TerminateProcessesByName({kNetHelperFile});
    }
    std::vector<std::string> Progress() const {
        std::vector<std::string> lines;
        for (const auto& line : m_lines) {
            if (line.kind == DriverLine::Kind::Progress) {
                lines.push_back(line.progress);
            }
        }
        return lines;
    }
};

TEST_F(MisbehavingHelperTest, HelperThatExitsWithoutDoneEndsTheStepOnceDrained) {
    UseFakeHelper("nodone");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(), DriverStepOutcome::Done);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(Progress(), (std::vector<std::string>{"v:1/2[First]", "v:2/2[Second]"}));
}

TEST_F(MisbehavingHelperTest, DoneEndsTheStepWhileTheHelperStillRuns) {
    UseFakeHelper("doneandstay");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(), DriverStepOutcome::Done);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(Progress(), std::vector<std::string>{"v:1/1[Only]"});
}

TEST_F(MisbehavingHelperTest, SilentHelperEndsTheStepAtTheSilenceTimeOut) {
    UseFakeHelper("silent");
    DriverStepTimeouts timeouts;
    timeouts.silenceMs = 300;
    EXPECT_EQ(Run(timeouts), DriverStepOutcome::Silent);
    EXPECT_TRUE(m_lines.empty());
}

TEST_F(MisbehavingHelperTest, EndlessLineIsDroppedAndTheNextOneArrives) {
    UseFakeHelper("flood");
    EXPECT_EQ(Run(), DriverStepOutcome::Done);
    EXPECT_EQ(Progress(), std::vector<std::string>{"v:1/1[After the flood]"});
}

TEST_F(DriverStepTest, PipeNameHeldByAnotherProcessSkipsTheStep) {
    UseAsHelper(BesideTestProgram(TESSEL_PRODUCT_FILES) + L"\\" + kNetHelperFile);
    const std::wstring path = L"\\\\.\\pipe\\" + m_pipe;
    UniqueFileHandle squatter(::CreateNamedPipeW(path.c_str(), PIPE_ACCESS_DUPLEX,
                                                 PIPE_TYPE_BYTE | PIPE_WAIT,
                                                 PIPE_UNLIMITED_INSTANCES, 1024, 1024, 0, nullptr));
    ASSERT_TRUE(squatter);
    EXPECT_EQ(Run(), DriverStepOutcome::PipeTaken);
    EXPECT_TRUE(m_lines.empty());
}

}  // namespace
}  // namespace tessel
