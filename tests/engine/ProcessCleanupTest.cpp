#include "engine/ProcessCleanup.h"

#include <gtest/gtest.h>

#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

using testing_support::MakeTempFolder;
using testing_support::StartProcess;
using testing_support::SupportProgram;

// Starts a copy of the idle program under `fileName` in a folder of its own.
UniqueHandle StartCopyNamed(const std::wstring& fileName) {
    const std::wstring path = MakeTempFolder(L"cleanup") + L"\\" + fileName;
    if (!::CopyFileW(SupportProgram(L"idle_process.exe").c_str(), path.c_str(), FALSE)) {
        return UniqueHandle();
    }
    return StartProcess(L"\"" + path + L"\"");
}

bool EndsWithin(const UniqueHandle& process, DWORD ms) {
    return ::WaitForSingleObject(process.Get(), ms) == WAIT_OBJECT_0;
}

TEST(ProcessCleanupTest, EndsEveryProcessOfTheNameInAnyLetterCase) {
    UniqueHandle first = StartCopyNamed(L"TesselInstallSilence.exe");
    UniqueHandle second = StartCopyNamed(L"tesselinstallsilence.EXE");
    UniqueHandle bystander = StartCopyNamed(L"TesselInstallSilence2.exe");
    ASSERT_TRUE(first && second && bystander);
    ::Sleep(300);  // let them appear in the process list

    EXPECT_TRUE(TerminateProcessesByName({L"TesselInstallSilence.exe"}));
    EXPECT_TRUE(EndsWithin(first, 5000));
    EXPECT_TRUE(EndsWithin(second, 5000));
    DWORD code = 1;
    ::GetExitCodeProcess(first.Get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(EndsWithin(bystander, 200)) << "only whole file names count";

    EXPECT_TRUE(TerminateProcessesByName({L"Unrelated.exe", L"TESSELINSTALLSILENCE2.EXE"}));
    EXPECT_TRUE(EndsWithin(bystander, 5000));
}

TEST(ProcessCleanupTest, NothingToEndIsFine) {
    EXPECT_TRUE(TerminateProcessesByName({L"NoSuchProgram-7f3a.exe"}));
    EXPECT_TRUE(TerminateProcessesByName({}));
}

}  // namespace
}  // namespace tessel
