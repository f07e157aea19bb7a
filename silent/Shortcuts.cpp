#include "silent/Shortcuts.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <objidl.h>

#include "base/ComHandles.h"

namespace tessel {
namespace {

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool EnsureFolder(const std::wstring& folder) {
    return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

std::wstring SpecialFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, TRUE)) {
        return {};
    }
    return buffer;
}

std::wstring DesktopShortcutPath(const std::wstring& productName) {
    const std::wstring desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    return desktop.empty() ? std::wstring() : desktop + L"\\" + productName + L".lnk";
}

bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target,
                    const std::wstring& workingFolder) {
    IShellLinkW* rawLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&rawLink)))) {
        return false;
    }
    const UniqueCom<IShellLinkW> link(rawLink);
    if (FAILED(link.Get()->SetPath(target.c_str())) ||
        FAILED(link.Get()->SetWorkingDirectory(workingFolder.c_str()))) {
        return false;
    }
    IPersistFile* rawFile = nullptr;
    if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
        return false;
    }
    const UniqueCom<IPersistFile> file(rawFile);
    return SUCCEEDED(file.Get()->Save(linkPath.c_str(), TRUE));
}

bool WriteShortcuts(const ShortcutPlan& plan) {
    const std::wstring launcher = plan.installFolder + kLauncherFile;
    const std::wstring uninstaller = plan.installFolder + kUninstallerFile;
    // The shell's own folders want no trailing separator in a working folder.
    std::wstring workingFolder = plan.installFolder;
    if (workingFolder.size() > 3 && workingFolder.back() == L'\\') {
        workingFolder.pop_back();
    }

    const std::wstring desktopLink = DesktopShortcutPath(plan.names.product);
    if (desktopLink.empty()) {
        return false;
    }
    const bool wantDesktop = plan.firstInstall ? plan.desktopShortcut : FileExists(desktopLink);
    if (wantDesktop) {
        if (!CreateShortcut(desktopLink, launcher, workingFolder)) {
            return false;
        }
    } else if (!::DeleteFileW(desktopLink.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }

    const std::wstring startMenu = SpecialFolder(CSIDL_STARTMENU);
    if (startMenu.empty()) {
        return false;
    }
    const std::wstring menuFolder = startMenu + L"\\" + plan.names.product;
    if (!EnsureFolder(menuFolder) ||
        !CreateShortcut(menuFolder + L"\\" + plan.names.product + L".lnk", launcher,
                        workingFolder) ||
        !CreateShortcut(menuFolder + L"\\" + plan.names.uninstall + L".lnk", uninstaller,
                        workingFolder)) {
        return false;
    }

    const std::wstring appData = SpecialFolder(CSIDL_APPDATA);
    if (appData.empty()) {
        return false;
    }
    const std::wstring appDataFolder = appData + L"\\" + kAppDataShortcutFolder;
    return EnsureFolder(appDataFolder) &&
           CreateShortcut(appDataFolder + L"\\" + kAppDataShortcutFile, launcher, workingFolder);
}

}  // namespace tessel
