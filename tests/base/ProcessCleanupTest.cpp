#include "base/ProcessCleanup.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>
#include <string_view>

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

constexpr DWORD kDeadlineMs = 20'000;

bool EndsWithin(const UniqueHandle& process, DWORD ms) {
    return ::WaitForSingleObject(process.Get(), ms) == WAIT_OBJECT_0;
}

bool IsRunning(const UniqueHandle& process) {
    return ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

// True once every process is in the system's process list, which is what the clean-up walks.
bool WaitUntilListed(std::initializer_list<const UniqueHandle*> processes) {
    std::set<DWORD> wanted;
    for (const UniqueHandle* process : processes) {
        wanted.insert(::GetProcessId(process->Get()));
    }
    const ULONGLONG deadline = ::GetTickCount64() + kDeadlineMs;
    for (;;) {
        std::set<DWORD> missing = wanted;
        UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = snapshot && ::Process32FirstW(snapshot.Get(), &entry); more;
             more = ::Process32NextW(snapshot.Get(), &entry)) {
            missing.erase(entry.th32ProcessID);
        }
        if (missing.empty()) {
            return true;
        }
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(10);
    }
}

// The clean-up ends processes by name in the whole session, which the other tests share: a name of
// the product's own (the silent installer's) would end an installation another test is following.
std::wstring ProbeName(std::wstring_view suffix) {
    return L"CleanupProbe" + std::to_wstring(::GetCurrentProcessId()) + std::wstring(suffix);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

TEST(ProcessCleanupTest, EndsEveryProcessOfTheNameInAnyLetterCase) {
    const std::wstring name = ProbeName(L".exe");
    UniqueHandle first = StartCopyNamed(name);
    UniqueHandle second = StartCopyNamed(Lower(ProbeName(L".")) + L"EXE");
    UniqueHandle bystander = StartCopyNamed(ProbeName(L"2.exe"));
    ASSERT_TRUE(first && second && bystander);
    ASSERT_TRUE(WaitUntilListed({&first, &second, &bystander}))
        << "the started programs never appeared in the process list";

    EXPECT_TRUE(TerminateProcessesByName({name}));
    EXPECT_TRUE(EndsWithin(first, kDeadlineMs));
    EXPECT_TRUE(EndsWithin(second, kDeadlineMs));
    DWORD code = 1;
    ::GetExitCodeProcess(first.Get(), &code);
    EXPECT_EQ(code, 0u);
    // Had its name matched, it would have been ended with the other two, which have ended now.
    EXPECT_TRUE(IsRunning(bystander)) << "only whole file names count";

    EXPECT_TRUE(TerminateProcessesByName({L"Unrelated.exe", Lower(ProbeName(L"2.EXE"))}));
    EXPECT_TRUE(EndsWithin(bystander, kDeadlineMs));
}

TEST(ProcessCleanupTest, NothingToEndIsFine) {
    EXPECT_TRUE(TerminateProcessesByName({L"NoSuchProgram-7f3a.exe"}));
    EXPECT_TRUE(TerminateProcessesByName({}));
}

}  // namespace
}  // namespace tessel
