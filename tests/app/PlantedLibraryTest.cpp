// The installer is started from a download folder, where anyone may have left a DLL named like one
// it uses. A copy of the real installer, with a planted "gdiplus.dll" beside it, must draw its
// window with the system's GDI+ and never load the planted one.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>
#include <string>

#include "base/KernelHandles.h"
#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;
using testing_support::FromBuildPath;

constexpr ULONGLONG kDeadlineMs = 60'000;
constexpr DWORD kPollMs = 50;
constexpr wchar_t kWindowClass[] = L"TesselInstall";

struct WindowSearch {
    DWORD processId;
    bool found = false;
};

BOOL CALLBACK FindInstallerWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (owner == search->processId && ::IsWindowVisible(window) &&
        std::wstring(className) == kWindowClass) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the installer's class owned by `processId`.
bool HasVisibleWindow(DWORD processId) {
    WindowSearch search{processId};
    ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The full path of `moduleName` as loaded in `processId`, if it is loaded.
std::optional<fs::path> LoadedModulePath(DWORD processId, const wchar_t* moduleName) {
    UniqueFileHandle snapshot(
        ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId));
    if (!snapshot) {
        return std::nullopt;
    }
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Module32FirstW(snapshot.Get(), &entry); more;
         more = ::Module32NextW(snapshot.Get(), &entry)) {
        if (::lstrcmpiW(entry.szModule, moduleName) == 0) {
            return fs::path(entry.szExePath);
        }
    }
    return std::nullopt;
}

// The folders a system DLL of this program's kind may be reported from: the system folder, and
// for a 32-bit program on 64-bit Windows the folder that stands in for it.
std::vector<fs::path> SystemFolders() {
    std::vector<fs::path> folders;
    wchar_t folder[MAX_PATH] = {};
    if (const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH); length > 0) {
        folders.emplace_back(std::wstring(folder, length));
    }
    if (const UINT length = ::GetSystemWow64DirectoryW(folder, MAX_PATH); length > 0) {
        folders.emplace_back(std::wstring(folder, length));
    }
    return folders;
}

bool IsInSystemFolder(const fs::path& file) {
    for (const auto& folder : SystemFolders()) {
        if (::lstrcmpiW(file.parent_path().c_str(), folder.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

class PlantedLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::path(
            testing_support::MakeTempFolder(L"planted-" + std::to_wstring(::GetTickCount64())));
        fs::copy_file(FromBuildPath(TESSEL_INSTALLER_PATH), m_folder / L"TesselAssistantSetup.exe");
        fs::copy_file(FromBuildPath(TESSEL_PLANTED_PATH), m_folder / L"gdiplus.dll");
    }
    void TearDown() override {
        if (m_installer) {
            ::TerminateProcess(m_installer.Get(), 1);
            ::WaitForSingleObject(m_installer.Get(), 10'000);
        }
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    fs::path m_folder;
    UniqueHandle m_installer;
};

TEST_F(PlantedLibraryTest, TheInstallerDrawsWithTheSystemsGdiplusAndNeverLoadsAPlantedOne) {
    // The planted DLL works: loaded, it leaves its marker.
    const fs::path control = m_folder / L"control.dll";
    fs::copy_file(FromBuildPath(TESSEL_PLANTED_PATH), control);
    UniqueModule loaded(::LoadLibraryW(control.c_str()));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(fs::exists(m_folder / L"control.dll.loaded"));

    // Wine prefers its own GDI+ to a DLL found beside the program; Windows takes what it finds in
    // the search order. Windows ignores this setting, which makes Wine do the same.
    ASSERT_TRUE(::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"gdiplus=n,b"));
    const std::wstring installer = (m_folder / L"TesselAssistantSetup.exe").wstring();
    std::wstring commandLine = L"\"" + installer + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const BOOL started = ::CreateProcessW(installer.c_str(), commandLine.data(), nullptr, nullptr,
                                          FALSE, 0, nullptr, m_folder.c_str(), &startup, &info);
    ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", nullptr);
    ASSERT_TRUE(started);
    UniqueHandle thread(info.hThread);
    m_installer.Reset(info.hProcess);

    // The window is drawn with GDI+: once it shows, GDI+ is loaded.
    const ULONGLONG deadline = ::GetTickCount64() + kDeadlineMs;
    bool shown = false;
    while (!(shown = HasVisibleWindow(info.dwProcessId)) && ::GetTickCount64() < deadline &&
           ::WaitForSingleObject(m_installer.Get(), kPollMs) == WAIT_TIMEOUT) {
    }
    ASSERT_TRUE(shown) << "the installer showed no window (ended: "
                       << (::WaitForSingleObject(m_installer.Get(), 0) == WAIT_OBJECT_0) << ")";

    EXPECT_FALSE(fs::exists(m_folder / L"gdiplus.dll.loaded")) << "the planted DLL was loaded";
    const auto gdiplus = LoadedModulePath(info.dwProcessId, L"gdiplus.dll");
    ASSERT_TRUE(gdiplus.has_value()) << "no GDI+ in the installer";
    EXPECT_TRUE(IsInSystemFolder(*gdiplus)) << gdiplus->string();
}

}  // namespace
}  // namespace tessel
