// "Uninst.exe": removes what the silent installer installed — the product's files in its own
// folder, the registry values and keys, the shortcuts and the start-menu folder. Asks first in a
// plain message box unless given "/S".
//
// A running program cannot delete its own file, so the last part is done by a copy of this
// program in the temporary folder, started with "/cleanup <folder> <process id>": it waits for
// this process to end, then deletes "Uninst.exe" and the folder when nothing else is left in it.
// The copy is held open for deletion on close while it is started, so it goes away by itself once
// both processes have ended.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/ChildProcess.h"
#include "base/CommandLineArguments.h"
#include "base/KernelHandles.h"
#include "base/ProcessCleanup.h"
#include "base/ProductFacts.h"
#include "base/Registry.h"
#include "base/SafeDllSearch.h"

namespace {

using tessel::UniqueFileHandle;
using tessel::UniqueFindHandle;
using tessel::UniqueHandle;

constexpr DWORD kExitPatienceMs = 30'000;
constexpr DWORD kProgramsGoneMs = 100;

std::vector<std::wstring> Arguments() {
    auto fields = tessel::SplitArguments(::GetCommandLineW());
    if (!fields.empty()) {
        fields.erase(fields.begin());  // the program itself
    }
    return fields;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\') + 1);
}

std::wstring SpecialFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    return ::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE) ? std::wstring(buffer)
                                                                    : std::wstring();
}

// "DisplayName" of the uninstall entry: the product name the shortcuts were made with.
std::wstring InstalledProductName() {
    const auto name = tessel::ReadUserString(tessel::kUninstallKeyPath, L"DisplayName", MAX_PATH);
    return name && !name->empty() ? *name : std::wstring(tessel::kProductName);
}

void RemoveRegistryEntries() {
    tessel::DeleteUserTree(tessel::kUninstallKeyPath);
    tessel::DeleteUserValue(tessel::kRunKeyPath, tessel::kRunValueName);
    tessel::DeleteUserTree(tessel::kProductSettingsKeyPath);
    tessel::DeleteUserKeyIfEmpty(tessel::kProductVendorKeyPath);
}

// The shortcuts in a folder of our own, then the folder.
void RemoveShortcutFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW entry = {};
    UniqueFindHandle search(::FindFirstFileW((folder + L"\\*.lnk").c_str(), &entry));
    if (search) {
        do {
            ::DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
        } while (::FindNextFileW(search.Get(), &entry));
    }
    search.Reset();
    ::RemoveDirectoryW(folder.c_str());
}

void RemoveShortcuts(const std::wstring& productName) {
    const std::wstring desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty()) {
        ::DeleteFileW((desktop + L"\\" + productName + L".lnk").c_str());
    }
    const std::wstring startMenu = SpecialFolder(CSIDL_STARTMENU);
    if (!startMenu.empty()) {
        RemoveShortcutFolder(startMenu + L"\\" + productName);
    }
    const std::wstring appData = SpecialFolder(CSIDL_APPDATA);
    if (!appData.empty()) {
        const std::wstring folder = appData + L"\\" + tessel::kAppDataShortcutFolder;
        ::DeleteFileW((folder + L"\\" + tessel::kAppDataShortcutFile).c_str());
        ::RemoveDirectoryW(folder.c_str());  // only when now empty
    }
}

void CloseProductPrograms() {
    const std::vector<std::wstring> programs = {tessel::kLauncherFile, tessel::kNetHelperFile,
                                                tessel::kClientFile, tessel::kUtilityFile};
    tessel::TerminateProcessesByName(programs);
    ::Sleep(kProgramsGoneMs);  // their files stay locked until they are gone
}

void RemoveProductFiles(const std::wstring& folder) {
    for (const wchar_t* file : {tessel::kLauncherFile, tessel::kNetHelperFile, tessel::kClientFile,
                                tessel::kUtilityFile}) {
        ::DeleteFileW((folder + file).c_str());
    }
}

// Hands the removal of this file and its folder to a copy in the temporary folder. The returned
// handle marks the copy for deletion: the caller keeps it until it exits.
UniqueFileHandle StartFinalCleanup(const std::wstring& self, const std::wstring& folder) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    const std::wstring copy = std::wstring(temp, length) + L"TesselUninst-" +
                              std::to_wstring(::GetCurrentProcessId()) + L".exe";
    if (!::CopyFileW(self.c_str(), copy.c_str(), FALSE)) {
        return {};
    }
    UniqueFileHandle deleteOnClose(
        ::CreateFileW(copy.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    // No backslash before the closing quote: it would escape the quote.
    std::wstring unquoted = folder;
    while (!unquoted.empty() && unquoted.back() == L'\\') {
        unquoted.pop_back();
    }
    tessel::StartChildProcess(L"\"" + copy + L"\" /cleanup \"" + unquoted + L"\" " +
                                  std::to_wstring(::GetCurrentProcessId()),
                              {.program = copy.c_str(), .folder = temp});
    return deleteOnClose;
}

int FinishCleanup(const std::wstring& folder, DWORD parentId) {
    UniqueHandle parent(::OpenProcess(SYNCHRONIZE, FALSE, parentId));
    if (parent) {
        ::WaitForSingleObject(parent.Get(), kExitPatienceMs);
    }
    const std::wstring base = folder + L"\\";
    ::DeleteFileW((base + tessel::kUninstallerFile).c_str());
    ::RemoveDirectoryW(folder.c_str());  // only when nothing else is left in it
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tessel::RestrictDllSearchToSystem();
    const auto arguments = Arguments();
    if (arguments.size() == 3 && SameText(arguments[0], L"/cleanup")) {
        return FinishCleanup(arguments[1],
                             static_cast<DWORD>(std::wcstoul(arguments[2].c_str(), nullptr, 10)));
    }
    bool silent = false;
    for (const auto& argument : arguments) {
        silent = silent || SameText(argument, L"/S");
    }

    const std::wstring productName = InstalledProductName();
    if (!silent) {
        const std::wstring question =
            L"Remove " + productName + L" and all of its components from this computer?";
        if (::MessageBoxW(nullptr, question.c_str(), productName.c_str(),
                          MB_YESNO | MB_ICONQUESTION) != IDYES) {
            return 1;
        }
    }
    const std::wstring self = OwnPath();
    const std::wstring folder = FolderOf(self);
    if (self.empty() || folder.empty()) {
        return 2;
    }
    CloseProductPrograms();
    RemoveProductFiles(folder);
    RemoveShortcuts(productName);
    RemoveRegistryEntries();
    const UniqueFileHandle cleanupCopy = StartFinalCleanup(self, folder);
    if (!silent) {
        ::MessageBoxW(nullptr, (productName + L" has been removed.").c_str(), productName.c_str(),
                      MB_OK | MB_ICONINFORMATION);
    }
    return 0;
}
