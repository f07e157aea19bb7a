// The product's stand-in programs as the installation and its tests rely on them.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "base/ProcessCleanup.h"
#include "base/SafeDllSearch.h"
#include "silent/ProductNames.h"
#include "tests/silent/SilentTestSupport.h"

namespace tessel {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::wstring ProductProgram(const wchar_t* name) {
    return BesideTestProgram(TESSEL_PRODUCT_FILES) + L"\\" + name;
}

HWND LauncherWindow() {
    return ::FindWindowW(L"TesselAssistantLauncher", L"Tessel Assistant");
}

TEST(ProductProgramsTest, SecondLauncherLeavesTheFirstAlone) {
    UniqueHandle first = StartProgram(ProductProgram(kLauncherFile));
    ASSERT_TRUE(first);
    ASSERT_TRUE(WaitFor([] { return LauncherWindow() != nullptr; }));
    const ProcessResult second = RunProgram(ProductProgram(kLauncherFile), L"", 10'000);
    EXPECT_TRUE(second.exited);
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_EQ(::WaitForSingleObject(first.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // Closing its window ends it.
    ::PostMessageW(LauncherWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(first.Get(), 10'000), WAIT_OBJECT_0);
}

TEST(ProductProgramsTest, BackgroundProgramsRunUntilClosed) {
    for (const wchar_t* name : {kClientFile, kUtilityFile}) {
        SCOPED_TRACE(fs::path(name).string());
        UniqueHandle process = StartProgram(ProductProgram(name));
        ASSERT_TRUE(process);
        // Waiting in its message loop with nothing to do: it has started and stays.
        ASSERT_EQ(::WaitForInputIdle(process.Get(), 20'000), 0u) << "it never reached its loop";
        EXPECT_EQ(::WaitForSingleObject(process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
        TerminateProcessesByName({name});
        EXPECT_EQ(::WaitForSingleObject(process.Get(), 10'000), WAIT_OBJECT_0);
    }
}

TEST(ProductProgramsTest, NetHelperWithoutSetupArgumentsExitsAtOnce) {
    for (const wchar_t* arguments : {L"", L"-setup", L"-setupPipe Somewhere"}) {
        SCOPED_TRACE(fs::path(arguments).string());
        const ProcessResult run = RunProgram(ProductProgram(kNetHelperFile), arguments, 5'000);
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(run.exitCode, 0u);
    }
}

// The DLL search of both programs leaves out the program's own folder and the current one, where
// a planted DLL would otherwise be found first.
TEST(ProductProgramsTest, RestrictedDllSearchIgnoresAPlantedDll) {
    const std::wstring planted = TestProgramFolder() + L"planted_probe.dll";
    ASSERT_TRUE(PathExists(planted));
    HMODULE before =
        ::LoadLibraryExW(L"planted_probe.dll", nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    ASSERT_NE(before, nullptr);  // it is there to be found
    ::FreeLibrary(before);

    RestrictDllSearchToSystem();
    HMODULE after = ::LoadLibraryW(L"planted_probe.dll");
    EXPECT_EQ(after, nullptr);
    if (after != nullptr) {
        ::FreeLibrary(after);
    }
}

}  // namespace
}  // namespace tessel
