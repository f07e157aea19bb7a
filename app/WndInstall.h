#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/InstallLog.h"
#include "base/KernelHandles.h"
#include "device/DeviceDetection.h"
#include "device/ModelTable.h"
#include "engine/Payload.h"
#include "engine/PayloadWriter.h"
#include "skin/WindowBase.h"

namespace tessel {

class CButtonUI;
class CCheckBoxUI;
class CControlUI;
class CEditUI;
class CLabelUI;
class CProgressUI;
class CSharedMemoryMap;
class CTabLayoutUI;
class ProgressMailbox;

// The product name the install window and the install action use; set by the window's
// constructor.
extern const wchar_t* g_productName;

// The installer's one window ("WndInstall.xml"): page 0 chooses the folder and the options, page 1
// follows the silent installer's progress, page 2 starts the installed application. Creating it
// picks the folder (the previous installation's, else Program Files + product name); once its
// first frame is drawn it writes the silent installer to the temporary folder on a thread of its
// own, so the window shows and answers at once whatever the product's size (an Install clicked
// before the file is written starts the installation as soon as it is). Destroying it stops that
// write, ends any silent installer still running and ends the message loop.
//
// Ownership: created with new by the entry; deletes itself when its native window is gone. The
// control pointers borrow from the window's paint manager. It owns the started silent installer's
// process handle and shares a ProgressMailbox with the progress monitor.
//
// A modal loop the window runs (a message box, the folder dialog) can end with the window gone: a
// WM_CLOSE posted from outside destroys it and so deletes this object. Such code runs from a
// message of the window's own, never inside a control's click, and touches nothing once
// m_lifetime has expired.
class CWndInstall : public CWindowBase {
public:
    CWndInstall();

    // For tests: the devices the end of an installation looks for (default: the system's), and
    // the elevated start of the silent installer (default: the shell's).
    void SetDeviceSource(std::unique_ptr<IDeviceInstanceSource> devices);
    void SetLaunchFunction(ShellExecuteFunction launch);
    // Where the window logs the payload, the start of the silent installer and the install messages
    // (default: nowhere). Set before the window is created.
    void SetInstallLog(InstallLog log);
    // For tests: the pieces the payload is written in (default kPayloadPieceBytes).
    void SetPayloadPieceBytes(size_t bytes) { m_payloadPieceBytes = bytes; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClick(NotifyRecord& notification) override;
    virtual void OnSelectChanged(NotifyRecord& notification);

    const std::wstring& InstallFolder() const { return m_installFolder; }
    const std::wstring& PreviousInstallFolder() const { return m_previousInstallFolder; }
    const std::wstring& PayloadPath() const { return m_payloadPath; }
    // The payload is written and locked (it is written after the window's first frame).
    bool IsPayloadWritten() const { return m_payloadLock.has_value(); }
    // For tests: a progress monitor started by this window still runs.
    bool IsFollowingInstallation() const { return m_mailbox && m_mailbox.use_count() > 1; }

    static const NotifyMap& ClassNotifyMap();

protected:
    ~CWndInstall() override;

    void OnWindowReady() override;
    std::wstring SkinFileName() const override { return L"WndInstall.xml"; }
    const NotifyMap* GetNotifyMap() const override { return &ClassNotifyMap(); }

private:
    // What a click asks for that may run a modal loop; carried out from a posted message.
    enum class UserAction : WPARAM { Install, Browse, OpenAgreement, RunNow };
    void RunUserAction(UserAction action);

    void StartInstall();
    // Draws the first frame if it is still due, then starts writing the payload.
    void StartWritingPayload();
    void OnPayloadWritten();
    // Opens the channel, starts the written payload and follows it: the second half of Install.
    void LaunchInstall();
    // Starts the written payload with the user's choices and logs how that went.
    [[nodiscard]] bool StartSilentInstaller(bool autoRun, bool desktopShortcut,
                                            UniqueHandle& process);
    // Hands the opened channel and the started process to a new progress monitor.
    [[nodiscard]] bool FollowInstallation(std::unique_ptr<CSharedMemoryMap> channel,
                                          UniqueHandle process);
    void BrowseForFolder();
    void OpenAgreementPage();
    void StartInstalledApplication();
    void OnDriverLine();
    void OnDriverStep(const std::string& stepText);
    void OnInstallFinished();
    void OnSilentInstallerEnded();
    // Each false when the window was destroyed while the box was up: touch nothing then.
    [[nodiscard]] bool ShowError(const wchar_t* textId);
    [[nodiscard]] bool ShowText(const std::wstring& text);

    // The tree's named controls; not owned, null until OnWindowReady.
    CEditUI* m_folderEdit = nullptr;
    CTabLayoutUI* m_pages = nullptr;
    CProgressUI* m_progress = nullptr;
    CCheckBoxUI* m_autoRun = nullptr;
    CCheckBoxUI* m_desktopShortcut = nullptr;
    CButtonUI* m_install = nullptr;
    CButtonUI* m_runNow = nullptr;
    CButtonUI* m_confirm = nullptr;
    CButtonUI* m_close = nullptr;
    CLabelUI* m_status = nullptr;

    std::wstring m_installFolder;
    std::wstring m_defaultFolder;
    // The registry's "DisplayPath" as stored (with any trailing separator); empty when absent.
    std::wstring m_previousInstallFolder;
    std::wstring m_payloadPath;
    std::vector<ModelEntry> m_models;

    // Keeps the written payload from being replaced until it has been started.
    std::optional<PayloadLock> m_payloadLock;
    size_t m_payloadPieceBytes = kPayloadPieceBytes;
    // Install was clicked and its folder accepted before the payload was written.
    bool m_installWaitsForPayload = false;
    std::unique_ptr<IDeviceInstanceSource> m_devices;
    ShellExecuteFunction m_launch;  // empty: the shell's own elevated start
    InstallLog m_log;

    // The running installation: the silent installer (empty when the start gave no handle) and
    // what the window shares with its progress monitor.
    UniqueHandle m_silentInstaller;
    std::shared_ptr<ProgressMailbox> m_mailbox;
    bool m_finished = false;
    bool m_errorReported = false;

    // Expires when this object is deleted; see the class comment.
    std::shared_ptr<const int> m_lifetime = std::make_shared<const int>(0);
    // Last: stopped, and its thread joined, before anything it posts to goes.
    std::unique_ptr<PayloadWriter> m_payloadWriter;
};

}  // namespace tessel
