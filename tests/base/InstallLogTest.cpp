// The installation log on real files, each test in a folder of its own: lines and their time
// stamps, steps, system errors, starting over, writers side by side, and logs that cannot be
// written. The line format itself is LogLineTest's.
#include "base/InstallLog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "base/KernelHandles.h"
#include "base/TextConversion.h"
#include "tests/support/LogLines.h"
#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

using testing_support::ReadLogLines;
using testing_support::ReadLogTexts;
using testing_support::SystemMessageText;

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string LocalStamp() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char stamp[32] = {};
    std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return stamp;
}

long long Milliseconds(const std::string& text) {
    const size_t at = text.rfind("after ");
    return at == std::string::npos ? -1 : std::stoll(text.substr(at + 6));
}

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class InstallLogTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder =
            testing_support::MakeTempFolder(L"install-log-" + std::to_wstring(::GetTickCount64())) +
            L"\\";
        m_path = m_folder + L"Test.log";
    }

    std::wstring m_folder;
    std::wstring m_path;
};

TEST_F(InstallLogTest, LinesCarryTheLocalTimeAndThisProcess) {
    const InstallLog log(m_path);
    const std::string before = LocalStamp();
    log.Write(L"TesselInstallSilence.exe 1.0.3.12 started");
    log.Write(L"folder \"C:\\Tessel助手\\\"");
    const std::string after = LocalStamp();

    const auto lines = ReadLogLines(m_path);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) {
        // The columns are fixed, so the stamps order as text.
        EXPECT_GE(line.stamp, before);
        EXPECT_LE(line.stamp, after);
        EXPECT_EQ(line.processId, ::GetCurrentProcessId());
    }
    EXPECT_EQ(lines[0].text, "TesselInstallSilence.exe 1.0.3.12 started");
    EXPECT_EQ(lines[1].text, "folder \"C:\\Tessel\xE5\x8A\xA9\xE6\x89\x8B\\\"") << "UTF-8";
}

TEST_F(InstallLogTest, WritingLeavesTheLastErrorOfTheFailedCallBefore) {
    const InstallLog log(m_path);
    ::SetLastError(ERROR_SHARING_VIOLATION);
    log.Write(L"first line: the file is created");
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    { LogStep step(log, L"step"); }
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST_F(InstallLogTest, LogsOnOneFileAppendToEachOther) {
    const InstallLog first(m_path);
    const InstallLog second(m_path);
    first.Write(L"one");
    second.Write(L"two");
    first.Write(L"three");
    InstallLog(m_path).Write(L"four");  // a later run
    EXPECT_EQ(ReadLogTexts(m_path), (std::vector<std::string>{"one", "two", "three", "four"}));
}

TEST_F(InstallLogTest, StepsLogTheirBeginEndAndDuration) {
    const InstallLog log(m_path);
    constexpr auto kAtLeast = std::chrono::milliseconds(30);
    {
        LogStep step(log, L"registry");
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < kAtLeast) {
            std::this_thread::yield();
        }
    }
    {
        LogStep step(log, L"shortcuts");
        step.Note(L"desktop shortcut made");
        step.Fail(L"cannot make the shortcut \"x.lnk\"", ERROR_ACCESS_DENIED);
    }
    {
        LogStep step(log, L"close running programs");
        step.Fail(L"still running: process 12");
    }

    const auto texts = ReadLogTexts(m_path);
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[0], "registry: begun");
    EXPECT_TRUE(texts[1].starts_with("registry: ended after ")) << texts[1];
    EXPECT_GE(Milliseconds(texts[1]), kAtLeast.count());
    EXPECT_EQ(texts[2], "shortcuts: begun");
    EXPECT_EQ(texts[3], "shortcuts: desktop shortcut made");
    EXPECT_EQ(texts[4], "shortcuts: failed: cannot make the shortcut \"x.lnk\": Windows error 5: " +
                            SystemMessageText(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(texts[5].starts_with("shortcuts: failed after ")) << texts[5];
    EXPECT_GE(Milliseconds(texts[5]), 0);
    EXPECT_EQ(texts[6], "close running programs: begun");
    EXPECT_EQ(texts[7], "close running programs: failed: still running: process 12")
        << "no code when no call failed";
    EXPECT_TRUE(texts[8].starts_with("close running programs: failed after ")) << texts[8];
}

TEST_F(InstallLogTest, SystemErrorsReadAsTheSystemWritesThem) {
    const std::string sharing = SystemMessageText(ERROR_SHARING_VIOLATION);
    ASSERT_FALSE(sharing.empty());
    const std::wstring described = DescribeWindowsError(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(described, L"Windows error 32: " + Utf8ToWide(sharing));
    EXPECT_EQ(described.find_first_of(L"\r\n"), std::wstring::npos);
    // A code the system has no text for is still named.
    EXPECT_EQ(DescribeWindowsError(0x2FFFFFFF), L"Windows error 0x2FFFFFFF");

    const InstallLog log(m_path);
    log.WriteError(L"cannot write \"a.exe\"", ERROR_SHARING_VIOLATION);
    log.WriteError(L"the install window could not be created", 0);
    EXPECT_EQ(ReadLogTexts(m_path),
              (std::vector<std::string>{"cannot write \"a.exe\": Windows error 32: " + sharing,
                                        "the install window could not be created"}));
}

TEST_F(InstallLogTest, AFullFileStartsOverAndKeepsItsLinesAsOld) {
    constexpr uint64_t kLimit = 400;
    const InstallLog log(m_path, kLimit);
    const std::wstring old = m_path + L".old";
    int restarts = 0;
    for (int i = 0; i < 40; ++i) {
        const uint64_t before = FileSize(m_path);
        log.Write(L"line " + std::to_wstring(i));
        const uint64_t after = FileSize(m_path);
        ASSERT_LE(after, kLimit) << "line " << i;
        restarts += after < before ? 1 : 0;
    }
    EXPECT_GE(restarts, 3);

    // The two newest generations together hold the newest lines without a gap.
    std::vector<std::string> texts = ReadLogTexts(old);
    ASSERT_FALSE(texts.empty());
    EXPECT_LE(FileSize(old), kLimit);
    const auto current = ReadLogTexts(m_path);
    texts.insert(texts.end(), current.begin(), current.end());
    const int first = 40 - static_cast<int>(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i], "line " + std::to_string(first + static_cast<int>(i)));
    }
}

TEST_F(InstallLogTest, AFileAlreadyTooLargeStartsOverAtTheNextLine) {
    const std::string foreign(5000, 'x');
    std::ofstream(m_path.c_str(), std::ios::binary) << foreign;
    InstallLog(m_path, 1000).Write(L"first of its own");
    EXPECT_EQ(ReadBytes(m_path + L".old"), foreign);
    EXPECT_EQ(ReadLogTexts(m_path), std::vector<std::string>{"first of its own"});
}

TEST_F(InstallLogTest, WritersSideBySideTearNoLineAndLoseNone) {
    constexpr int kWriters = 4;
    constexpr int kLines = 100;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([this, w] {
            const InstallLog log(m_path);  // a log of its own, as another program has
            for (int i = 0; i < kLines; ++i) {
                log.Write(L"writer " + std::to_wstring(w) + L" line " + std::to_wstring(i) + L" " +
                          std::wstring(static_cast<size_t>(50 + i), L'.'));
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    const auto texts = ReadLogTexts(m_path);
    ASSERT_EQ(texts.size(), static_cast<size_t>(kWriters * kLines));
    // Each writer's lines all there, in its own order.
    int next[kWriters] = {};
    for (const auto& text : texts) {
        int w = -1;
        int i = -1;
        ASSERT_EQ(std::sscanf(text.c_str(), "writer %d line %d", &w, &i), 2) << text;
        ASSERT_TRUE(w >= 0 && w < kWriters) << text;
        EXPECT_EQ(i, next[w]++) << text;
        EXPECT_EQ(text.size(), text.find(" .") + 1 + static_cast<size_t>(50 + i)) << text;
    }
}

// Several writers reach a full file at once: one starts it over, and the others, which waited for
// their turn on the full one, write into the new file rather than start that one over too.
TEST_F(InstallLogTest, WritersSideBySideStartTheFileOverOnceAtATime) {
    constexpr uint64_t kLimit = 3000;
    constexpr int kWriters = 4;
    constexpr int kLines = 150;
    constexpr size_t kLongestLine = 80;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([this, w] {
            const InstallLog log(m_path, kLimit);
            for (int i = 0; i < kLines; ++i) {
                log.Write(L"writer " + std::to_wstring(w) + L" line " + std::to_wstring(i));
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    const std::wstring old = m_path + L".old";
    EXPECT_LE(FileSize(m_path), kLimit);
    EXPECT_LE(FileSize(old), kLimit);
    EXPECT_GT(FileSize(old) + kLongestLine, kLimit) << "the old file was full when it was moved";

    // Each writer's lines in its own order across the two files, none torn.
    std::vector<std::string> texts = ReadLogTexts(old);
    const auto current = ReadLogTexts(m_path);
    texts.insert(texts.end(), current.begin(), current.end());
    int last[kWriters] = {-1, -1, -1, -1};
    for (const auto& text : texts) {
        int w = -1;
        int i = -1;
        ASSERT_EQ(std::sscanf(text.c_str(), "writer %d line %d", &w, &i), 2) << text;
        ASSERT_TRUE(w >= 0 && w < kWriters) << text;
        EXPECT_GT(i, last[w]) << text;
        last[w] = i;
    }
    for (int w = 0; w < kWriters; ++w) {
        EXPECT_EQ(last[w], kLines - 1) << "writer " << w << "'s last line is in the newest file";
    }
}

TEST_F(InstallLogTest, AFileHeldWithoutSharingLosesOnlyThoseLines) {
    const InstallLog log(m_path);
    log.Write(L"before");
    {
        UniqueFileHandle holder(::CreateFileW(m_path.c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        log.Write(L"lost");
        { LogStep step(log, L"lost step"); }
    }
    log.Write(L"after");
    EXPECT_EQ(ReadLogTexts(m_path), (std::vector<std::string>{"before", "after"}));
}

TEST_F(InstallLogTest, NothingIsWrittenWhereNoLogCanBe) {
    const InstallLog nowhere;
    nowhere.Write(L"nothing");
    { LogStep step(nowhere, L"a step"); }
    EXPECT_TRUE(nowhere.Path().empty());

    const std::wstring missingFolder = m_folder + L"missing\\Test.log";
    InstallLog(missingFolder).Write(L"nothing");
    EXPECT_EQ(::GetFileAttributesW((m_folder + L"missing").c_str()), INVALID_FILE_ATTRIBUTES);

    const std::wstring folderInTheWay = m_folder + L"Folder.log";
    ASSERT_TRUE(::CreateDirectoryW(folderInTheWay.c_str(), nullptr));
    InstallLog(folderInTheWay).Write(L"nothing");
    EXPECT_TRUE(::RemoveDirectoryW(folderInTheWay.c_str())) << "still an empty folder";
}

// The silent installer runs elevated: a second name for another file put in the log's place must
// not make it write there.
TEST_F(InstallLogTest, ASecondNameOfAnotherFileIsNotWrittenThrough) {
    const std::wstring victim = m_folder + L"victim.ini";
    std::ofstream(victim.c_str(), std::ios::binary) << "precious";
    ASSERT_TRUE(::CreateHardLinkW(m_path.c_str(), victim.c_str(), nullptr));
    InstallLog(m_path).Write(L"appended?");
    EXPECT_EQ(ReadBytes(victim), "precious");

    // Nor does starting over write into the file behind an old log's second name.
    ASSERT_TRUE(::DeleteFileW(m_path.c_str()));
    ASSERT_TRUE(::CreateHardLinkW((m_path + L".old").c_str(), victim.c_str(), nullptr));
    std::ofstream(m_path.c_str(), std::ios::binary) << std::string(2000, 'x');
    InstallLog(m_path, 1000).Write(L"first after the restart");
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_EQ(ReadLogTexts(m_path), std::vector<std::string>{"first after the restart"});
}

}  // namespace
}  // namespace tessel
