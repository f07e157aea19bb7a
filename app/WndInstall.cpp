#include "app/WndInstall.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <utility>

#include "app/DriverStepText.h"
#include "app/InstallFolder.h"
#include "app/InstallTexts.h"
#include "base/ComHandles.h"
#include "base/KernelHandles.h"
#include "base/ProcessCleanup.h"
#include "base/ProductFacts.h"
#include "base/StartupTimeline.h"
#include "base/TextConversion.h"
#include "engine/FileSystem.h"
#include "engine/InstallMessages.h"
#include "engine/PathText.h"
#include "engine/ProgressMonitor.h"
#include "engine/SharedMemoryMap.h"
#include "skin/LanguageTable.h"
#include "skin/MessageBoxW.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/EditUI.h"
#include "ui/LabelUI.h"
#include "ui/ProgressUI.h"
#include "ui/TabLayoutUI.h"

#ifndef TESSEL_AGREEMENT_ORIGIN
#define TESSEL_AGREEMENT_ORIGIN L"https://tessel.example.com"
#endif

namespace tessel {

const wchar_t* g_productName = nullptr;

namespace {

constexpr wchar_t kAgreementPath[] = L"/condition";
// BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_UAHINT
constexpr UINT kBrowseFlags = 0x151;
constexpr int kFolderCapacity = MAX_PATH;
constexpr int kPageBefore = 0;
constexpr int kPageDuring = 1;
constexpr int kPageAfter = 2;
// A code the window never reports.
constexpr int kIgnoredErrorCode = 5;
// Carries a UserAction; the paint manager uses WM_APP + 1.
constexpr UINT kUserActionMessage = WM_APP + 2;
// Posted by the window to itself once it is ready, and by the payload writer when it is done.
constexpr UINT kWritePayloadMessage = WM_APP + 3;
constexpr UINT kPayloadWrittenMessage = WM_APP + 4;

std::wstring LookUp(const wchar_t* id) {
    return CLanguageTable::Instance().LookUpText(id);
}

struct ItemIdListDeleter {
    void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};

void OpenWithShell(const std::wstring& file) {
    // Whether the program or page opens is not reported.
    ::ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// A second handle on the same process, for the progress monitor, which may outlive the window.
UniqueHandle DuplicateProcessHandle(HANDLE process) {
    HANDLE copy = nullptr;
    if (process == nullptr ||
        !::DuplicateHandle(::GetCurrentProcess(), process, ::GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        return {};
    }
    return UniqueHandle(copy);
}

}  // namespace

CWndInstall::CWndInstall()
    : m_models(MakeModelTable()), m_devices(std::make_unique<SetupApiDeviceSource>()) {
    g_productName = kProductName;
}

CWndInstall::~CWndInstall() {
    if (m_mailbox) {
        m_mailbox->Close();
    }
    // Closing the window during an installation ends the installation.
    if (m_silentInstaller) {
        ::TerminateProcess(m_silentInstaller.Get(), 0);
    }
    TerminateProcessesByName({kSilentInstallerFile});
    ::PostQuitMessage(0);
}

void CWndInstall::SetDeviceSource(std::unique_ptr<IDeviceInstanceSource> devices) {
    m_devices = std::move(devices);
}

void CWndInstall::SetLaunchFunction(ShellExecuteFunction launch) {
    m_launch = std::move(launch);
}

void CWndInstall::SetInstallLog(InstallLog log) {
    m_log = std::move(log);
}

const NotifyMap& CWndInstall::ClassNotifyMap() {
    // Only these two are searched: the base windows' maps are not chained, and the system
    // buttons are reached through OnClick calling the base window's.
    static const NotifyMapEntry entries[] = {
        NotifyOn<CWndInstall>(L"click", L"", &CWndInstall::OnClick),
        NotifyOn<CWndInstall>(L"selectchanged", L"", &CWndInstall::OnSelectChanged),
    };
    static const NotifyMap map{nullptr, entries};
    return map;
}

void CWndInstall::OnWindowReady() {
    m_install = ControlAs<CButtonUI>(m_pm.FindControl(L"btn_Install"), L"Button");
    m_runNow = ControlAs<CButtonUI>(m_pm.FindControl(L"btn_RunNow"), L"Button");
    m_confirm = ControlAs<CButtonUI>(m_pm.FindControl(L"btn_Confirm"), L"Button");
    m_folderEdit = ControlAs<CEditUI>(m_pm.FindControl(L"edt_Folder"), L"Edit");
    m_pages = ControlAs<CTabLayoutUI>(m_pm.FindControl(L"tabLyt_Client"), L"TabLayout");
    m_progress = ControlAs<CProgressUI>(m_pm.FindControl(L"pro_Install"), L"Progress");
    m_autoRun = ControlAs<CCheckBoxUI>(m_pm.FindControl(L"chkbx_AutoRun"), L"CheckBox");
    m_desktopShortcut =
        ControlAs<CCheckBoxUI>(m_pm.FindControl(L"chkbx_DeskShortcut"), L"CheckBox");
    m_close = ControlAs<CButtonUI>(m_pm.FindControl(L"btnSysClose"), L"Button");
    m_status = ControlAs<CLabelUI>(m_pm.FindControl(L"lab_content"), L"Label");

    m_defaultFolder = GetProgramFilesFolder() + L"\\" + g_productName;
    m_previousInstallFolder = ReadPreviousInstallFolder();
    m_installFolder = m_previousInstallFolder;
    TrimSeparators(m_installFolder);
    if (!::PathFileExistsW(m_installFolder.c_str())) {
        m_installFolder = m_defaultFolder;
    }
    if (m_folderEdit != nullptr) {
        m_folderEdit->SetText(m_installFolder);
    }

    m_payloadPath = GetPayloadPath();
    // Handled once the window is shown and the message loop runs.
    PostMessage(kWritePayloadMessage);
}

void CWndInstall::StartWritingPayload() {
    if (m_payloadWriter) {
        return;
    }
    // The first frame goes to the screen before anything else competes for the disk and the CPU.
    ::UpdateWindow(m_hWnd);
    if (const std::wstring start = StartupTimeline::Instance().Finish(L"first frame");
        !start.empty()) {
        m_log.Write(start);
    }
    m_payloadWriter = std::make_unique<PayloadWriter>(m_payloadPath, m_hWnd, kPayloadWrittenMessage,
                                                      m_log, nullptr, m_payloadPieceBytes);
}

void CWndInstall::OnPayloadWritten() {
    if (!m_payloadWriter || !m_payloadWriter->IsDone() || m_payloadLock) {
        return;
    }
    m_payloadLock = m_payloadWriter->TakeLock();
    if (m_payloadLock) {
        if (std::exchange(m_installWaitsForPayload, false)) {
            LaunchInstall();
        }
        return;
    }
    if (ShowError(L"lan_101")) {
        Close(1);
    }
}

LRESULT CWndInstall::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INSTALL_SETRANGE:
            if (m_progress != nullptr) {
                m_progress->SetMinValue(0);
                m_progress->SetMaxValue(static_cast<int>(wParam));
                m_progress->SetValue(0);
            }
            return 0;
        case WM_INSTALL_RELEASE:
            if (m_progress != nullptr) {
                m_progress->SetValue(static_cast<int>(wParam));
            }
            if (m_status != nullptr) {
                m_status->SetText(LookUp(L"lan_107"));
            }
            return 0;
        case WM_INSTALL_FINISH:
            m_log.Write(L"finish message received");
            OnInstallFinished();
            return 0;
        case WM_INSTALL_ERROR: {
            // A code that is not shown does not count as told: the end of the process is.
            const int code = static_cast<int>(static_cast<uint32_t>(wParam));
            m_log.Write(L"error message received: code " + std::to_wstring(code));
            if (code != kIgnoredErrorCode) {
                m_errorReported = true;
                (void)ShowText(FillPlaceholder(LookUp(L"lan_106"), L"%d", std::to_wstring(code)));
            }
            return 0;
        }
        case WM_INSTALL_DRIVER:
            OnDriverLine();
            return 0;
        case WM_INSTALL_WAITING:
            if (m_status != nullptr) {
                m_status->SetText(LookUp(L"lan_109"));
            }
            return 0;
        case WM_INSTALL_PROCESSENDED:
            m_log.Write(L"process-end message received");
            OnSilentInstallerEnded();
            return 0;
        case kUserActionMessage:
            RunUserAction(static_cast<UserAction>(wParam));
            return 0;
        case kWritePayloadMessage:
            StartWritingPayload();
            return 0;
        case kPayloadWrittenMessage:
            OnPayloadWritten();
            return 0;
        default:
            return CWindowBase::HandleMessage(message, wParam, lParam);
    }
}

void CWndInstall::OnClick(NotifyRecord& notification) {
    // Each of these may run a modal loop, in which the window can be destroyed. Run inside the
    // click, the call chain back through the button and the paint manager would then go through
    // deleted objects; run from a posted message, nothing but the window procedure is left above.
    const std::wstring name = SenderName(notification);
    if (name == L"btn_Install") {
        PostMessage(kUserActionMessage, static_cast<WPARAM>(UserAction::Install));
    } else if (name == L"btn_Browse") {
        PostMessage(kUserActionMessage, static_cast<WPARAM>(UserAction::Browse));
    } else if (name == L"btn_Confirm") {
        Close(1);
    } else if (name == L"btn_Url") {
        PostMessage(kUserActionMessage, static_cast<WPARAM>(UserAction::OpenAgreement));
    } else if (name == L"btn_RunNow") {
        PostMessage(kUserActionMessage, static_cast<WPARAM>(UserAction::RunNow));
    }
    CWindowBase::OnClick(notification);
}

void CWndInstall::RunUserAction(UserAction action) {
    switch (action) {
        case UserAction::Install:
            StartInstall();
            return;
        case UserAction::Browse:
            BrowseForFolder();
            return;
        case UserAction::OpenAgreement:
            OpenAgreementPage();
            return;
        case UserAction::RunNow: {
            // The shell may show a box of its own about a launcher it cannot start.
            const std::weak_ptr<const int> alive = m_lifetime;
            StartInstalledApplication();
            if (!alive.expired()) {
                Close(1);
            }
            return;
        }
    }
}

void CWndInstall::OnSelectChanged(NotifyRecord& notification) {
    if (SenderName(notification) != L"chkbx_Agree") {
        return;
    }
    auto* agree = ControlAs<CCheckBoxUI>(notification.sender, L"CheckBox");
    if (agree != nullptr && m_install != nullptr) {
        m_install->SetEnabled(agree->IsSelected());
    }
}

void CWndInstall::BrowseForFolder() {
    const ComApartment com;
    const std::wstring title = LookUp(L"lan_105");
    BROWSEINFOW info{};
    info.hwndOwner = m_hWnd;
    info.lpszTitle = title.c_str();
    info.ulFlags = kBrowseFlags;
    const std::weak_ptr<const int> alive = m_lifetime;
    std::unique_ptr<ITEMIDLIST, ItemIdListDeleter> chosen(::SHBrowseForFolderW(&info));
    if (!chosen || alive.expired()) {
        return;
    }
    wchar_t path[kFolderCapacity] = {};
    if (!::SHGetPathFromIDListW(chosen.get(), path)) {
        return;
    }
    m_installFolder = path;
    if (m_folderEdit != nullptr) {
        m_folderEdit->SetText(m_installFolder);
    }
}

void CWndInstall::OpenAgreementPage() {
    OpenWithShell(std::wstring(TESSEL_AGREEMENT_ORIGIN) + kAgreementPath);
}

void CWndInstall::StartInstalledApplication() {
    OpenWithShell(m_installFolder + L"\\" + kLauncherFile);
}

void CWndInstall::StartInstall() {
    m_installFolder = m_folderEdit != nullptr ? m_folderEdit->GetText() : std::wstring();
    // A folder whose parts overflow the path splitter has no drive here, so it is refused too.
    const std::wstring drive = GetPathDrive(m_installFolder);
    const std::wstring drives = GetLogicalDrivesText();
    if (!IsInstallFolderValid(m_installFolder, drive, drives)) {
        m_log.Write(L"folder refused: \"" + m_installFolder + L"\"");
        (void)ShowError(L"lan_103");
        return;
    }
    NormalizeFolder(m_installFolder);
    const bool folderIsEmpty = EnsureEmptyFolder(m_installFolder);
    m_installFolder =
        ApplyFolderRule(m_installFolder, folderIsEmpty, m_previousInstallFolder, g_productName);

    if (m_pages != nullptr) {
        m_pages->SelectItem(kPageDuring);
    }
    if (!m_payloadLock) {
        // The page says "Installing..." meanwhile; the writer's message goes on from here.
        m_log.Write(L"install waits for the payload");
        m_installWaitsForPayload = true;
        return;
    }
    LaunchInstall();
}

void CWndInstall::LaunchInstall() {
    const bool autoRun = m_autoRun != nullptr && m_autoRun->IsSelected();
    const bool desktopShortcut = m_desktopShortcut != nullptr && m_desktopShortcut->IsSelected();

    // The channel is opened here, before the silent installer starts, and handed to the monitor.
    // On Windows the silent installer runs elevated, and a named object gets the default DACL of
    // the token that creates it: had the elevated process created the block, it would grant
    // access to Administrators and SYSTEM only, which this unelevated process is not (its token
    // holds the Administrators group for deny only), and the window would never hear from the
    // installation. Created by this process, the block carries this user's default DACL, which
    // the elevated process, the same user, can open. Wine checks none of this, so no test under
    // Wine would notice the other order.
    auto channel = std::make_unique<CSharedMemoryMap>();
    channel->Open(kProgressChannelName);
    UniqueHandle process;
    if (StartSilentInstaller(autoRun, desktopShortcut, process)) {
        // The started program is past the point where the file could be swapped.
        m_payloadLock.reset();
        if (m_close != nullptr) {
            m_close->SetVisible(false);
        }
        if (FollowInstallation(std::move(channel), std::move(process))) {
            return;
        }
        m_log.Write(L"the progress monitor could not be started: the installation is ended");
        // Nothing would follow the installation: stop it rather than leave the page waiting.
        if (m_silentInstaller) {
            ::TerminateProcess(m_silentInstaller.Get(), 0);
            m_silentInstaller.Reset();
        }
        TerminateProcessesByName({kSilentInstallerFile});
        if (m_close != nullptr) {
            m_close->SetVisible(true);
        }
    }
    if (!ShowError(L"lan_104")) {
        return;
    }
    if (m_pages != nullptr) {
        m_pages->SelectItem(kPageBefore);
    }
}

bool CWndInstall::StartSilentInstaller(bool autoRun, bool desktopShortcut, UniqueHandle& process) {
    m_log.Write(L"installing into \"" + m_installFolder + L"\", autoRun " +
                (autoRun ? L"1" : L"0") + L", desktopShortcut " + (desktopShortcut ? L"1" : L"0"));
    LogStep step(m_log, L"start the silent installer");
    DWORD error = ERROR_SUCCESS;
    if (!LaunchSilentInstaller(m_installFolder, autoRun, desktopShortcut, m_payloadPath, m_launch,
                               &process, &error)) {
        step.Fail(L"cannot start \"" + m_payloadPath + L"\"", error);
        return false;
    }
    // The shell may start it without a handle (then there is no id to log).
    step.Note(L"process id " + std::to_wstring(process ? ::GetProcessId(process.Get()) : 0));
    return true;
}

bool CWndInstall::FollowInstallation(std::unique_ptr<CSharedMemoryMap> channel,
                                     UniqueHandle process) {
    m_mailbox = std::make_shared<ProgressMailbox>();
    m_finished = false;
    m_errorReported = false;
    MonitoredInstallation installation;
    installation.window = m_hWnd;
    installation.mailbox = m_mailbox;
    installation.channel = std::move(channel);
    installation.process = DuplicateProcessHandle(process.Get());
    m_silentInstaller = std::move(process);
    return StartProgressMonitor(std::move(installation));
}

void CWndInstall::OnDriverLine() {
    // The line only from the mailbox: the message itself may come from anyone.
    if (m_mailbox == nullptr) {
        return;
    }
    if (const std::optional<std::string> line = m_mailbox->TakeDriverLine()) {
        OnDriverStep(*line);
    }
}

void CWndInstall::OnDriverStep(const std::string& stepText) {
    const std::optional<DriverStepDisplay> step = ParseDriverStep(stepText);
    if (!step) {
        return;
    }
    if (m_progress != nullptr) {
        m_progress->SetValue(step->barValue);
    }
    if (m_status != nullptr) {
        m_status->SetText(FillPlaceholder(LookUp(L"lan_108"), L"%s", AnsiToWide(step->namePart)));
    }
}

void CWndInstall::OnInstallFinished() {
    m_finished = true;
    if (m_devices != nullptr && FindConnectedModel(m_models, *m_devices)) {
        StartInstalledApplication();
        if (m_runNow != nullptr) {
            m_runNow->SetVisible(false);
        }
        if (m_confirm != nullptr) {
            m_confirm->SetVisible(true);
        }
    }
    if (m_pages != nullptr) {
        m_pages->SelectItem(kPageAfter);
    }
    if (m_close != nullptr) {
        m_close->SetVisible(true);
    }
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CWndInstall::OnSilentInstallerEnded() {
    // Anyone can post the message: only the end of the silent installer this window started
    // counts, once.
    DWORD exitCode = 0;
    if (!m_silentInstaller || ::WaitForSingleObject(m_silentInstaller.Get(), 0) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(m_silentInstaller.Get(), &exitCode)) {
        return;
    }
    m_silentInstaller.Reset();
    m_log.Write(L"silent installer ended: exit code " + std::to_wstring(exitCode));
    // Killed, crashed, or ended after an error: the page stays, and the user gets out through the
    // close button. A finished installation has its own page with its own buttons.
    if (m_finished) {
        return;
    }
    if (m_close != nullptr) {
        m_close->SetVisible(true);
    }
    if (m_errorReported) {
        return;
    }
    m_errorReported = true;
    const int code = static_cast<int>(exitCode);
    (void)ShowText(FillPlaceholder(LookUp(L"lan_106"), L"%d", std::to_wstring(code)));
}

bool CWndInstall::ShowError(const wchar_t* textId) {
    return ShowText(LookUp(textId));
}

bool CWndInstall::ShowText(const std::wstring& text) {
    const std::weak_ptr<const int> alive = m_lifetime;
    const std::wstring caption = LookUp(L"lan_102");
    MessageBoxW::ShowMessage(m_hWnd, text.c_str(), caption.c_str());
    return !alive.expired();
}

}  // namespace tessel
