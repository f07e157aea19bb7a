#include "base/CrashDump.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <regex>

#include "base/KernelHandles.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

TEST(CrashDumpTest, FileNameIsTheLocalTime) {
    std::tm time = {};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 4;
    time.tm_mday = 6;
    time.tm_hour = 13;
    time.tm_min = 4;
    time.tm_sec = 59;
    EXPECT_EQ(CrashDumpFileName(time), L"2024-05-06 13-04-59.dmp");
}

fs::path TestProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::time_t ParseDumpTime(const std::string& name) {
    std::tm time = {};
    std::sscanf(name.c_str(), "%d-%d-%d %d-%d-%d.dmp", &time.tm_year, &time.tm_mon, &time.tm_mday,
                &time.tm_hour, &time.tm_min, &time.tm_sec);
    time.tm_year -= 1900;
    time.tm_mon -= 1;
    time.tm_isdst = -1;
    return std::mktime(&time);
}

// How the probe crashes and the exit code that crash leaves.
struct CrashCase {
    const char* mode;
    DWORD exitCode;
};

void PrintTo(const CrashCase& c, std::ostream* out) {
    *out << c.mode;
}

// Each case crashes a fresh copy of the probe in a folder of its own, so that the first crash
// there has to create "CrashRpt".
class CrashDumpRunTest : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashDumpRunTest, CrashLeavesADatedMinidumpAndEndsTheProcess) {
    const char* mode = GetParam().mode;
    const fs::path folder = TestProgramFolder() / "crash-runs" / mode;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path probe = folder / "crash_probe.exe";
    fs::copy_file(TestProgramFolder() / "crash_probe.exe", probe);

    std::wstring commandLine = L"\"" + probe.wstring() + L"\" " + fs::path(mode).wstring();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const std::time_t before = std::time(nullptr);
    ASSERT_TRUE(::CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &info));
    UniqueHandle thread(info.hThread);
    UniqueHandle process(info.hProcess);
    // No dialog waits for anyone: the process ends by itself.
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 90'000), WAIT_OBJECT_0)
        << "the probe is still running: something waits for a user";
    const std::time_t after = std::time(nullptr);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    EXPECT_EQ(exitCode, GetParam().exitCode) << std::hex << exitCode;

    const fs::path dumps = folder / "CrashRpt";
    ASSERT_TRUE(fs::is_directory(dumps));
    std::vector<fs::path> files(fs::directory_iterator(dumps), fs::directory_iterator{});
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}-\d{2}-\d{2}\.dmp)")))
        << name;
    const std::time_t stamped = ParseDumpTime(name);
    EXPECT_GE(stamped, before - 1);
    EXPECT_LE(stamped, after + 1);

    std::ifstream dump(files[0], std::ios::binary);
    char signature[4] = {};
    dump.read(signature, sizeof(signature));
    EXPECT_EQ(std::string(signature, sizeof(signature)), "MDMP");
    EXPECT_GT(fs::file_size(files[0]), 1000u);
}

INSTANTIATE_TEST_SUITE_P(
    Crashes, CrashDumpRunTest,
    ::testing::Values(CrashCase{"main", static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)},
                      CrashCase{"worker", static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)},
                      CrashCase{"escape-main", kFatalAppExitCode},
                      CrashCase{"escape-worker", kFatalAppExitCode},
                      CrashCase{"terminate", kFatalAppExitCode},
                      CrashCase{"abort", kFatalAppExitCode}),
    [](const ::testing::TestParamInfo<CrashCase>& info) {
        std::string name = info.param.mode;
        std::erase(name, '-');
        return name;
    });

}  // namespace
}  // namespace tessel
