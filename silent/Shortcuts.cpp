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

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Makes what a shortcut needs one by one and keeps the first that fails, with its error code.
class ShortcutWriter {
public:
    bool Folder(const std::wstring& folder) {
        if (::CreateDirectoryW(folder.c_str(), nullptr)) {
            return true;
        }
        const DWORD error = ::GetLastError();
        return error == ERROR_ALREADY_EXISTS ||
               Fail(L"cannot create the folder " + Quoted(folder), error);
    }
    bool Link(const std::wstring& linkPath, const std::wstring& target,
              const std::wstring& workingFolder) {
        const uint32_t result = CreateShortcut(linkPath, target, workingFolder);
        return result == 0 || Fail(L"cannot make the shortcut " + Quoted(linkPath), result);
    }
    bool Delete(const std::wstring& linkPath) {
        if (::DeleteFileW(linkPath.c_str())) {
            return true;
        }
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND ||
               Fail(L"cannot delete the shortcut " + Quoted(linkPath), error);
    }
    // A special folder, or empty (and failed) when the system has none.
    std::wstring Special(int csidl, const wchar_t* name) {
        std::wstring folder = SpecialFolder(csidl);
        if (folder.empty()) {
            Fail(std::wstring(L"the system names no ") + name + L" folder", 0);
        }
        return folder;
    }

    std::optional<StepFailure> TakeFailure() { return std::move(m_failure); }

private:
    bool Fail(std::wstring what, uint32_t error) {
        m_failure = StepFailure{std::move(what), error};
        return false;
    }

    std::optional<StepFailure> m_failure;
};

bool MakeShortcuts(ShortcutWriter& write, const ShortcutPlan& plan) {
    const std::wstring launcher = plan.installFolder + kLauncherFile;
    const std::wstring uninstaller = plan.installFolder + kUninstallerFile;
    // The shell's own folders want no trailing separator in a working folder.
    std::wstring workingFolder = plan.installFolder;
    if (workingFolder.size() > 3 && workingFolder.back() == L'\\') {
        workingFolder.pop_back();
    }

    const std::wstring desktop = write.Special(CSIDL_DESKTOPDIRECTORY, L"desktop");
    if (desktop.empty()) {
        return false;
    }
    const std::wstring desktopLink = desktop + L"\\" + plan.names.product + L".lnk";
    const bool wantDesktop = plan.firstInstall ? plan.desktopShortcut : FileExists(desktopLink);
    if (wantDesktop ? !write.Link(desktopLink, launcher, workingFolder)
                    : !write.Delete(desktopLink)) {
        return false;
    }

    const std::wstring startMenu = write.Special(CSIDL_STARTMENU, L"start menu");
    if (startMenu.empty()) {
        return false;
    }
    const std::wstring menuFolder = startMenu + L"\\" + plan.names.product;
    if (!write.Folder(menuFolder) ||
        !write.Link(menuFolder + L"\\" + plan.names.product + L".lnk", launcher, workingFolder) ||
        !write.Link(menuFolder + L"\\" + plan.names.uninstall + L".lnk", uninstaller,
                    workingFolder)) {
        return false;
    }

    const std::wstring appData = write.Special(CSIDL_APPDATA, L"application data");
    if (appData.empty()) {
        return false;
    }
    const std::wstring appDataFolder = appData + L"\\" + kAppDataShortcutFolder;
    return write.Folder(appDataFolder) &&
           write.Link(appDataFolder + L"\\" + kAppDataShortcutFile, launcher, workingFolder);
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

uint32_t CreateShortcut(const std::wstring& linkPath, const std::wstring& target,
                        const std::wstring& workingFolder) {
    IShellLinkW* rawLink = nullptr;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkW, reinterpret_cast<void**>(&rawLink));
    if (FAILED(result)) {
        return static_cast<uint32_t>(result);
    }
    const UniqueCom<IShellLinkW> link(rawLink);
    if (FAILED(result = link.Get()->SetPath(target.c_str())) ||
        FAILED(result = link.Get()->SetWorkingDirectory(workingFolder.c_str()))) {
        return static_cast<uint32_t>(result);
    }
    IPersistFile* rawFile = nullptr;
    result = link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile));
    if (FAILED(result)) {
        return static_cast<uint32_t>(result);
    }
    const UniqueCom<IPersistFile> file(rawFile);
    result = file.Get()->Save(linkPath.c_str(), TRUE);
    return FAILED(result) ? static_cast<uint32_t>(result) : 0;
}

std::optional<StepFailure> WriteShortcuts(const ShortcutPlan& plan) {
    ShortcutWriter write;
    return MakeShortcuts(write, plan) ? std::nullopt : write.TakeFailure();
}

}  // namespace tessel
