// The install window as the installer creates it, on the virtual display: its start (folder,
// payload), the install action with its folder checks and an injected launch, the install
// messages, the end of an installation with an injected device list, and closing. The fault tests
// start a stand-in of the silent installer (tests/support/SilentStandIn.cpp) that writes through
// the real reporter into the real channel, and end it with TerminateProcess.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/WndInstall.h"
#include "base/KernelHandles.h"
#include "base/ModuleResource.h"
#include "base/ProcessCleanup.h"
#include "engine/FileSystem.h"
#include "engine/InstallMessages.h"
#include "engine/SharedMemoryMap.h"
#include "engine/SilentCommandLine.h"
#include "tests/skin/SkinTestSupport.h"
#include "tests/support/LogLines.h"
#include "tests/support/TestProcess.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/ControlUI.h"
#include "ui/OptionUI.h"
#include "ui/ProgressUI.h"
#include "ui/TabLayoutUI.h"

namespace tessel {
namespace {

using testing_support::IndexOf;
using testing_support::IndexStartingWith;
using testing_support::PumpMessages;
using testing_support::PumpUntil;
using testing_support::ReadLogTexts;

constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessel Assistant";
constexpr wchar_t kSilentName[] = L"TesselInstallSilence.exe";
constexpr wchar_t kLauncherName[] = L"Launcher.exe";
constexpr wchar_t kStandInName[] = L"silent_stand_in.exe";
// Generous: the machine may be busy with a build and other tests.
constexpr DWORD kDeadlineMs = 20'000;
// What the fault tests end the stand-in with; the window shows it as the error code.
constexpr UINT kKilledExitCode = 137;

class FakeDevices final : public IDeviceInstanceSource {
public:
    explicit FakeDevices(std::vector<std::wstring> ids) : m_ids(std::move(ids)) {}
    void ForEachInstanceId(const std::function<bool(std::wstring_view)>& visit) const override {
        for (const auto& id : m_ids) {
            if (visit(id)) {
                return;
            }
        }
    }

private:
    std::vector<std::wstring> m_ids;
};

// A new folder of the temporary folder; Wine reuses process ids, so the name carries the time too.
std::wstring MakeTempFolder(const std::wstring& prefix) {
    return testing_support::MakeTempFolder(prefix + L"-" + std::to_wstring(::GetTickCount64()));
}

void DeletePreviousInstallation() {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kUninstallKey);
}

// Stores "DisplayPath" as `bytes` bytes of `data` of registry type `type`.
void StoreDisplayPath(const wchar_t* data, DWORD bytes, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueRegKey owned(key);
    ASSERT_EQ(
        ::RegSetValueExW(key, L"DisplayPath", 0, type, reinterpret_cast<const BYTE*>(data), bytes),
        ERROR_SUCCESS);
}
void StoreDisplayPath(const std::wstring& folder) {
    StoreDisplayPath(folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

// A message box the window showed: its native title and its text.
struct ShownMessage {
    std::wstring title;
    std::wstring text;
    RECT rect{};
};

// Closes every skinned message box owned by `owner` (null: by any window) as soon as it is up (a
// thread timer runs inside the box's modal loop) and records what it showed. With
// Reaction::CloseOwner it posts WM_CLOSE to the box's owner instead, as another program could.
class MessageBoxCatcher {
public:
    enum class Reaction { CloseBox, CloseOwner };
    explicit MessageBoxCatcher(HWND owner, Reaction reaction = Reaction::CloseBox)
        : m_owner(owner), m_reaction(reaction) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 20, &MessageBoxCatcher::OnTimer);
    }
    ~MessageBoxCatcher() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    std::vector<ShownMessage> shown;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (s_current != nullptr) {
            ::EnumThreadWindows(::GetCurrentThreadId(), &MessageBoxCatcher::OnWindow,
                                reinterpret_cast<LPARAM>(s_current));
        }
    }
    static BOOL CALLBACK OnWindow(HWND window, LPARAM self) {
        auto* catcher = reinterpret_cast<MessageBoxCatcher*>(self);
        wchar_t className[64] = {};
        ::GetClassNameW(window, className, 64);
        const HWND owner = ::GetWindow(window, GW_OWNER);
        if (owner == nullptr || (catcher->m_owner != nullptr && owner != catcher->m_owner) ||
            std::wstring(className) != L"TesselInstall" || !::IsWindowVisible(window)) {
            return TRUE;
        }
        ShownMessage message;
        wchar_t title[256] = {};
        ::GetWindowTextW(window, title, 256);
        message.title = title;
        ::GetWindowRect(window, &message.rect);
        auto* host = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (auto* box = dynamic_cast<WindowImplBase*>(host)) {
            if (CControlUI* text = box->GetPaintManager().FindControl(L"Lab_Content")) {
                message.text = text->GetText();
            }
        }
        catcher->shown.push_back(message);
        if (catcher->m_reaction == Reaction::CloseOwner) {
            ::PostMessageW(owner, WM_CLOSE, 0, 0);
        } else {
            ::PostMessageW(window, WM_CLOSE, 5, 0);
        }
        return TRUE;
    }

    static inline MessageBoxCatcher* s_current = nullptr;
    HWND m_owner;
    Reaction m_reaction;
    UINT_PTR m_timer = 0;
};

// What the injected elevated start saw.
struct LaunchRecord {
    int calls = 0;
    std::wstring file;
    std::wstring parameters;
    int pageDuringLaunch = -1;
    size_t payloadBytes = 0;  // the size of the started file then
};

UniqueHandle Duplicate(HANDLE handle) {
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    return UniqueHandle(copy);
}

std::string DriverLineMessage(const std::string& line) {
    return R"({"Name":"InstallSilence","Style":4,"sParam":")" + line + R"("})";
}

class InstallWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(testing_support::OpenBuiltSkinPackage());
        ASSERT_TRUE(testing_support::LoadLanguage(L"lan_en.xml"));
    }
    void SetUp() override {
        DeletePreviousInstallation();
        TerminateProcessesByName({kSilentName, kLauncherName, kStandInName});
        m_readyName = "TesselStandInReady-" + std::to_string(::GetCurrentProcessId()) + "-" +
                      std::to_string(::GetTickCount64());
        m_ready.Reset(::CreateEventA(nullptr, TRUE, FALSE, m_readyName.c_str()));
        ASSERT_TRUE(m_ready);
    }
    void TearDown() override {
        if (::IsWindow(m_hwnd)) {
            ::DestroyWindow(m_hwnd);
        }
        DropQuitMessage();
        if (m_standIn) {
            ::TerminateProcess(m_standIn.Get(), 0);
        }
        DeletePreviousInstallation();
        TerminateProcessesByName({kSilentName, kLauncherName, kStandInName});
    }

    // Creates the window as the entry does, with the injected devices and launch. The launch
    // records what it was given; with a stand-in script it starts the stand-in and hands the
    // window a handle of that process, as the shell's elevated start would.
    HWND Create(std::vector<std::wstring> devices = {}, bool launchSucceeds = true) {
        m_window = new CWndInstall();
        m_window->SetInstallLog(m_log);
        m_window->SetPayloadPieceBytes(m_payloadPieceBytes);
        m_window->SetDeviceSource(std::make_unique<FakeDevices>(std::move(devices)));
        m_window->SetLaunchFunction([this, launchSucceeds](SHELLEXECUTEINFOW& info) {
            ++m_launch.calls;
            m_launch.file = info.lpFile != nullptr ? info.lpFile : L"";
            m_launch.parameters = info.lpParameters != nullptr ? info.lpParameters : L"";
            m_launch.pageDuringLaunch = Pages()->GetCurSel();
            WIN32_FILE_ATTRIBUTE_DATA payload{};
            m_launch.payloadBytes =
                ::GetFileAttributesExW(info.lpFile, GetFileExInfoStandard, &payload)
                    ? payload.nFileSizeLow
                    : 0;
            if (!launchSucceeds) {
                return false;
            }
            return m_standInScript.empty() || StartStandIn(info);
        });
        return m_window->CreateWindowAt(nullptr, L"TESSEL installation", 0x10CF0000, 0,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    }
    // Creates and shows the window, and waits until it is laid out and, unless m_waitForPayload
    // is cleared, until its payload is written (or the window is already gone).
    void Open(std::vector<std::wstring> devices = {}, bool launchSucceeds = true) {
        m_hwnd = Create(std::move(devices), launchSucceeds);
        ASSERT_NE(m_hwnd, nullptr);
        m_window->CenterWindow();
        m_window->ShowWindow(true, true);
        ::SetForegroundWindow(m_hwnd);
        ASSERT_TRUE(PumpUntil(
            [&] {
                return !::IsWindow(m_hwnd) || (::IsWindowVisible(m_hwnd) && IsLaidOut() &&
                                               (!m_waitForPayload || m_window->IsPayloadWritten()));
            },
            kDeadlineMs))
            << "the window was not shown, or its payload not written";
    }
    // The resource the window writes as its payload.
    static size_t PayloadResourceBytes() {
        const auto resource = FindModuleResource(nullptr, L"DATA", MAKEINTRESOURCEW(18));
        return resource ? resource->size() : 0;
    }
    bool IsLaidOut() {
        const CPaintManagerUI& pm = m_window->GetPaintManager();
        return !pm.IsUpdateNeeded() && pm.GetRoot() != nullptr && !pm.GetRoot()->GetPos().IsEmpty();
    }

    bool StartStandIn(SHELLEXECUTEINFOW& info) {
        UniqueHandle process = testing_support::StartProcess(
            L"\"" + testing_support::SupportProgram(kStandInName) + L"\" " +
            std::wstring(std::begin(kProgressChannelName), std::end(kProgressChannelName) - 1) +
            L" " + m_standInScript + L" " + std::wstring(m_readyName.begin(), m_readyName.end()));
        if (!process) {
            return false;
        }
        info.hProcess = Duplicate(process.Get()).Release();
        m_standIn = std::move(process);
        return true;
    }
    // Installs with the stand-in running `script` and waits until it has written its messages up
    // to the point where it waits to be ended, and the monitor has taken the last of them.
    void InstallUntilTheStandInWaits(const wchar_t* script) {
        m_standInScript = script;
        ASSERT_TRUE(InstallInto(MakeTempFolder(L"standin")).empty());
        ASSERT_TRUE(m_standIn) << "the stand-in did not start";
        ASSERT_TRUE(PumpUntil(
            [&] { return ::WaitForSingleObject(m_ready.Get(), 0) == WAIT_OBJECT_0; }, kDeadlineMs))
            << "the stand-in never reached the point where it waits";
    }
    // Ends the stand-in as a crash or the task manager would; the window's message box about it
    // is closed and returned.
    std::vector<ShownMessage> KillStandIn() {
        MessageBoxCatcher catcher(m_hwnd);
        EXPECT_TRUE(::TerminateProcess(m_standIn.Get(), kKilledExitCode));
        EXPECT_TRUE(PumpUntil([&] { return !catcher.shown.empty(); }, kDeadlineMs))
            << "no message about the end of the silent installer";
        return catcher.shown;
    }
    // Waits until the window's progress monitor has ended and the window has handled everything
    // the monitor posted: a message posted after the monitor's end is the witness.
    void WaitUntilTheMonitorHasEnded() {
        ASSERT_TRUE(PumpUntil([&] { return !m_window->IsFollowingInstallation(); }, kDeadlineMs))
            << "the progress monitor still runs";
        Post(WM_INSTALL_WAITING, 0);
        ASSERT_TRUE(PumpUntil([&] { return Status() == kWaitingText; }, kDeadlineMs));
    }
    // Nothing of the installation runs any more.
    void ExpectNothingLeftRunning() {
        EXPECT_EQ(::WaitForSingleObject(m_standIn.Get(), kDeadlineMs), WAIT_OBJECT_0);
        // An ended process leaves the system's process list a moment after its handle signals.
        EXPECT_TRUE(PumpUntil(
            [] {
                return FindProcessesByName({kStandInName, kSilentName}).empty();
            },
            kDeadlineMs))
            << "a silent installer (or its stand-in) still runs";
        EXPECT_TRUE(PumpUntil([&] { return !m_window->IsFollowingInstallation(); }, kDeadlineMs))
            << "the progress monitor still runs";
    }

    // Writes a message into the installation's channel as the silent installer would: once the
    // monitor has taken the one before.
    void WriteToChannel(const std::string& text) {
        if (m_channel == nullptr) {
            m_channel = std::make_unique<CSharedMemoryMap>();
            ASSERT_NE(m_channel->Open(kProgressChannelName), nullptr);
        }
        ASSERT_TRUE(
            PumpUntil([&] { return m_channel->IsEmpty(kProgressChannelName); }, kDeadlineMs));
        ASSERT_TRUE(m_channel->Write(kProgressChannelName, text));
    }

    CControlUI* Named(const wchar_t* name) {
        CControlUI* control = m_window->GetPaintManager().FindControl(name);
        EXPECT_NE(control, nullptr);
        return control;
    }
    CTabLayoutUI* Pages() {
        return static_cast<CTabLayoutUI*>(
            Named(L"tabLyt_Client")->QueryInterfaceByName(L"TabLayout"));
    }
    CProgressUI* Progress() {
        return static_cast<CProgressUI*>(Named(L"pro_Install")->QueryInterfaceByName(L"Progress"));
    }
    std::wstring Status() { return Named(L"lab_content")->GetText(); }

    // A real click at the middle of a control, through the window's mouse messages.
    void Click(const wchar_t* name) {
        // A control just shown is placed by the next layout pass.
        CControlUI* control = Named(name);
        ASSERT_TRUE(PumpUntil(
            [&] { return control->IsVisible() && IsLaidOut() && !control->GetPos().IsEmpty(); },
            kDeadlineMs))
            << "not shown";
        const UiRect r = control->GetPos();
        const int x = (r.left + r.right) / 2;
        const int y = (r.top + r.bottom) / 2;
        POINT screen{x, y};
        ::ClientToScreen(m_hwnd, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        ::SendMessageW(m_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(m_hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        // What the click asked for is queued by now: this carries it out.
        PumpMessages();
    }
    // Types a folder into the edit box and clicks Install; the message boxes it brings are
    // closed and returned.
    std::vector<ShownMessage> InstallInto(const std::wstring& folder) {
        Named(L"edt_Folder")->SetText(folder);
        MessageBoxCatcher catcher(m_hwnd);
        Click(L"btn_Install");
        return catcher.shown;
    }
    // Posts as the monitor does, and handles everything queued up to it.
    std::vector<ShownMessage> Post(UINT message, WPARAM wParam) {
        MessageBoxCatcher catcher(m_hwnd);
        ::PostMessageW(m_hwnd, message, wParam, 0);
        PumpMessages();
        return catcher.shown;
    }
    // A driver line through the channel and the monitor; `shown` is what the status line then says.
    void WriteDriverLine(const std::string& line, const std::wstring& shown) {
        WriteToChannel(DriverLineMessage(line));
        ASSERT_TRUE(PumpUntil([&] { return Status() == shown; }, kDeadlineMs))
            << "the line " << line << " was not shown";
    }
    // The window's destructor posts the quit message; it must not end the next test's loops.
    static bool DropQuitMessage() {
        MSG message;
        return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    }
    bool IsTopmost() const {
        return (::GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    }

    static constexpr const wchar_t* kWaitingText =
        L"Installing, it takes about 20 seconds, please be patient...";

    InstallLog m_log;                 // none unless a test gives one
    CWndInstall* m_window = nullptr;  // owns itself
    HWND m_hwnd = nullptr;
    LaunchRecord m_launch;
    std::wstring m_standInScript;  // empty: the launch starts nothing
    UniqueHandle m_standIn;
    std::string m_readyName;
    UniqueHandle m_ready;
    std::unique_ptr<CSharedMemoryMap> m_channel;
    bool m_waitForPayload = true;
    size_t m_payloadPieceBytes = kPayloadPieceBytes;
};

TEST_F(InstallWindowTest, StartsOnPageZeroWithTheDefaultFolderAndALockedPayload) {
    Open();
    RECT rect{};
    ::GetWindowRect(m_hwnd, &rect);
    EXPECT_EQ(rect.right - rect.left, 730);
    EXPECT_EQ(rect.bottom - rect.top, 498);
    EXPECT_EQ(Pages()->GetCurSel(), 0);
    EXPECT_TRUE(Named(L"btn_Install")->IsEnabled());
    // The markup's sample folder is always replaced.
    const std::wstring expected = GetProgramFilesFolder() + L"\\Tessel Assistant";
    EXPECT_EQ(Named(L"edt_Folder")->GetText(), expected);
    EXPECT_EQ(m_window->PreviousInstallFolder(), L"");

    // The payload is the resource's bytes, and nothing may replace it while the window waits.
    const auto resource = FindModuleResource(nullptr, L"DATA", MAKEINTRESOURCEW(18));
    ASSERT_TRUE(resource.has_value());
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(
        ::GetFileAttributesExW(m_window->PayloadPath().c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, resource->size());
    EXPECT_TRUE(m_window->PayloadPath().ends_with(L"\\TesselInstallSilence.exe"));
    UniqueFileHandle writer(::CreateFileW(m_window->PayloadPath().c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer) << "the payload is locked against writers";
}

TEST_F(InstallWindowTest, APayloadThatCannotBeWrittenIsReportedAndTheWindowCloses) {
    // An earlier run's silent installer still holding the file, as far as writing goes.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring payload = std::wstring(temp) + L"TesselInstallSilence.exe";
    UniqueFileHandle holder(::CreateFileW(payload.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    const std::wstring log = MakeTempFolder(L"log") + L"\\TesselAssistantSetup.log";
    m_log = InstallLog(log);

    // The failure box comes up once the window is shown, owned by it.
    MessageBoxCatcher catcher(nullptr);
    m_waitForPayload = false;
    Open();
    ASSERT_TRUE(PumpUntil([&] { return !catcher.shown.empty(); }, kDeadlineMs))
        << "no message about the payload";
    ASSERT_EQ(catcher.shown.size(), 1u);
    EXPECT_EQ(catcher.shown[0].title, L"notify");
    EXPECT_EQ(catcher.shown[0].text, L"Failed to release the file, please try again");
    auto texts = ReadLogTexts(log);
    // The program's start is told once, by its first window to show (an earlier test's here).
    std::erase_if(texts, [](const std::string& text) {
        return text.find(" ms to first frame: ") != std::string::npos;
    });
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "write the payload: failed: cannot write \"" + WideToUtf8(payload) +
                            "\": Windows error 32: " +
                            testing_support::SystemMessageText(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(texts[2].starts_with("write the payload: failed after ")) << texts[2];
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }))
        << "the posted close ends the window";
    EXPECT_TRUE(DropQuitMessage());
}

// The payload is written after the first frame, in pieces: an Install clicked meanwhile shows the
// installing page at once and starts the silent installer when the file is whole and locked;
// a window closed meanwhile stops the write and leaves no part of the file behind.
TEST_F(InstallWindowTest, InstallBeforeThePayloadIsWrittenStartsOnceItIs) {
    const std::wstring log = MakeTempFolder(L"log") + L"\\TesselAssistantSetup.log";
    m_log = InstallLog(log);
    m_waitForPayload = false;
    m_payloadPieceBytes = 1;  // a long write
    Open();
    ASSERT_FALSE(m_window->IsPayloadWritten()) << "written too fast for this test";
    InstallInto(MakeTempFolder(L"early"));
    EXPECT_EQ(Pages()->GetCurSel(), 1);
    ASSERT_TRUE(PumpUntil([&] { return m_launch.calls == 1; }, 120'000))
        << "the installation never started";
    EXPECT_EQ(m_launch.payloadBytes, PayloadResourceBytes()) << "started a partial file";
    EXPECT_EQ(m_launch.pageDuringLaunch, 1);
    // The click itself may come after the writer's message (the test's pumping decides), but a
    // write of single bytes takes far longer than a click here.
    const auto texts = ReadLogTexts(log);
    const size_t waits = IndexOf(texts, "install waits for the payload");
    ASSERT_LT(waits, texts.size()) << "the click came after the payload was written";
    EXPECT_LT(waits, IndexStartingWith(texts, "write the payload: ended after "));
}

TEST_F(InstallWindowTest, ClosingWhileThePayloadIsWrittenLeavesNoPartOfIt) {
    m_waitForPayload = false;
    m_payloadPieceBytes = 1;
    Open();
    const std::wstring payload = m_window->PayloadPath();
    ASSERT_FALSE(m_window->IsPayloadWritten()) << "written too fast for this test";
    ASSERT_TRUE(PumpUntil([&] {
        return ::GetFileAttributesW(payload.c_str()) != INVALID_FILE_ATTRIBUTES;
    })) << "the write never began";
    ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }));
    EXPECT_EQ(::GetFileAttributesW(payload.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the window is gone and its writer with it: nothing of the file is left";
    EXPECT_TRUE(DropQuitMessage());
}

TEST_F(InstallWindowTest, OffersThePreviousInstallationsFolderWhenItStillExists) {
    const std::wstring folder = MakeTempFolder(L"previous");
    StoreDisplayPath(folder + L"\\");
    Open();
    EXPECT_EQ(Named(L"edt_Folder")->GetText(), folder) << "shown without its separator";
    EXPECT_EQ(m_window->PreviousInstallFolder(), folder + L"\\") << "kept as stored";
    ::DestroyWindow(m_hwnd);
    DropQuitMessage();

    const std::wstring defaultFolder = GetProgramFilesFolder() + L"\\Tessel Assistant";
    // A deleted folder, an overlong value and a value without its terminator: the default.
    StoreDisplayPath(folder + L"\\gone\\");
    Open();
    EXPECT_EQ(Named(L"edt_Folder")->GetText(), defaultFolder);
    ::DestroyWindow(m_hwnd);
    DropQuitMessage();

    const std::wstring overlong = folder + L"\\" + std::wstring(300, L'a');
    StoreDisplayPath(overlong);
    Open();
    EXPECT_EQ(Named(L"edt_Folder")->GetText(), defaultFolder);
    EXPECT_EQ(m_window->PreviousInstallFolder(), L"");
    ::DestroyWindow(m_hwnd);
    DropQuitMessage();

    // Stored as raw bytes: the registry would otherwise add the missing terminator itself.
    StoreDisplayPath(folder.c_str(), static_cast<DWORD>(folder.size() * sizeof(wchar_t)),
                     REG_BINARY);
    Open();
    EXPECT_EQ(m_window->PreviousInstallFolder(), L"") << "no terminator: treated as absent";
    EXPECT_EQ(Named(L"edt_Folder")->GetText(), defaultFolder);
    ::RemoveDirectoryW(folder.c_str());
}

TEST_F(InstallWindowTest, TheAgreementBoxEnablesInstall) {
    Open();
    Click(L"chkbx_Agree");
    EXPECT_FALSE(Named(L"btn_Install")->IsEnabled());
    std::vector<ShownMessage> shown = InstallInto(L"Q:\\Apps");
    EXPECT_TRUE(shown.empty()) << "a disabled button does nothing";
    Click(L"chkbx_Agree");
    EXPECT_TRUE(Named(L"btn_Install")->IsEnabled());
}

TEST_F(InstallWindowTest, InvalidFoldersAreRefusedWithAMessage) {
    Open();
    const std::wstring overlongPart = L"C:\\" + std::wstring(300, L'a') + L"\\x";
    for (const std::wstring& folder :
         {std::wstring(L"Q:\\Apps"), std::wstring(L"   "), std::wstring(L"Apps\\Tessel"),
          std::wstring(L"\\\\srv\\s"), overlongPart}) {
        SCOPED_TRACE(testing::Message() << "folder of " << folder.size() << " characters");
        const std::vector<ShownMessage> shown = InstallInto(folder);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, L"notify");
        EXPECT_EQ(shown[0].text, L"Please choose the correct path");
        EXPECT_EQ(Pages()->GetCurSel(), 0);
        EXPECT_TRUE(::IsWindowEnabled(m_hwnd)) << "the owner is enabled again";
    }
    EXPECT_EQ(m_launch.calls, 0);
}

TEST_F(InstallWindowTest, ARefusedStartGoesBackToPageZero) {
    const std::wstring log = MakeTempFolder(L"log") + L"\\TesselAssistantSetup.log";
    m_log = InstallLog(log);
    Open({}, /*launchSucceeds=*/false);
    const std::wstring folder = MakeTempFolder(L"refused") + L"\\New";
    const std::vector<ShownMessage> shown = InstallInto(folder);
    ASSERT_EQ(m_launch.calls, 1);
    EXPECT_EQ(m_launch.pageDuringLaunch, 1) << "page 1 shows before the elevation prompt";
    EXPECT_EQ(m_launch.file, m_window->PayloadPath());
    // A folder that did not exist is created and used as it is.
    EXPECT_NE(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(m_launch.parameters.find(L"\"" + folder + L"\\\""), std::wstring::npos)
        << std::string(m_launch.parameters.begin(), m_launch.parameters.end());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Installation failed, please try again");
    EXPECT_EQ(Pages()->GetCurSel(), 0);
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    // The injected start fails without a code of its own: none is made up.
    EXPECT_LT(IndexOf(ReadLogTexts(log), "start the silent installer: failed: cannot start \"" +
                                             WideToUtf8(m_window->PayloadPath()) + "\""),
              ReadLogTexts(log).size());
}

TEST_F(InstallWindowTest, FollowsTheInstallationAndOffersStartNow) {
    Open();
    // A folder with content that is not the previous installation gets the product name.
    const std::wstring folder = MakeTempFolder(L"full");
    UniqueFileHandle(::CreateFileW((folder + L"\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(InstallInto(folder).empty());
    EXPECT_EQ(m_window->InstallFolder(), folder + L"\\Tessel Assistant");
    EXPECT_EQ(Pages()->GetCurSel(), 1);
    EXPECT_FALSE(Named(L"btnSysClose")->IsVisible()) << "no close button while installing";

    ::SendMessageW(m_hwnd, WM_INSTALL_SETRANGE, 200, 0);
    EXPECT_EQ(Progress()->GetMaxValue(), 200);
    EXPECT_EQ(Progress()->GetValue(), 0);
    ::SendMessageW(m_hwnd, WM_INSTALL_SETRANGE, 100, 0);

    Post(WM_INSTALL_RELEASE, 40);
    EXPECT_EQ(Progress()->GetValue(), 40);
    EXPECT_EQ(Status(), L"Releasing files");
    // Driver lines come only through the channel and the monitor.
    WriteDriverLine("v:3/10[Keyboard driver]",
                    L"Installing the latest driver components... [Keyboard driver]");
    EXPECT_EQ(Progress()->GetValue(), 37);
    // Two lines that show nothing, then one whose name shows: the two came and went before it.
    WriteToChannel(DriverLineMessage("v:0/10[x]"));
    WriteToChannel(DriverLineMessage("v:3/10[x"));
    WriteDriverLine("v:12/10[Mouse]", L"Installing the latest driver components... [Mouse]");
    EXPECT_EQ(Progress()->GetValue(), 37) << "none of the three moved the bar (118 lies outside)";
    Post(WM_INSTALL_WAITING, 0);
    EXPECT_EQ(Status(), kWaitingText);

    EXPECT_TRUE(Post(WM_INSTALL_ERROR, 5).empty());
    std::vector<ShownMessage> shown = Post(WM_INSTALL_ERROR, 1603);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Installation failed, please try again. Error Code: 1603");
    shown = Post(WM_INSTALL_ERROR, 0xFFFFFFFF);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.ends_with(L"Error Code: -1"));
    EXPECT_EQ(Pages()->GetCurSel(), 1) << "an error leaves the page as it is";

    Post(WM_INSTALL_FINISH, 0);
    EXPECT_EQ(Pages()->GetCurSel(), 2);
    EXPECT_TRUE(Named(L"btn_RunNow")->IsVisible());
    EXPECT_FALSE(Named(L"btn_Confirm")->IsVisible());
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    EXPECT_TRUE(IsTopmost());

    // "Start now" starts the launcher of the install folder and closes the window.
    const std::wstring installed = m_window->InstallFolder();
    ASSERT_TRUE(::CreateDirectoryW(installed.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(testing_support::SupportProgram(L"idle_process.exe").c_str(),
                            (installed + L"\\Launcher.exe").c_str(), FALSE));
    Click(L"btn_RunNow");
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }));
    EXPECT_TRUE(DropQuitMessage()) << "the destructor ends the message loop";
    EXPECT_TRUE(PumpUntil([] { return !FindProcessesByName({kLauncherName}).empty(); }, 10000));
}

TEST_F(InstallWindowTest, AConnectedDeviceStartsTheApplicationAtOnce) {
    Open({L"HID\\VID_046D&PID_C52B\\1", L"HID\\VID_2E8B&PID_0A21&MI_00\\7&2a3b&0&0000"});
    const std::wstring folder = MakeTempFolder(L"device");
    ASSERT_TRUE(InstallInto(folder).empty());
    ASSERT_TRUE(::CopyFileW(testing_support::SupportProgram(L"idle_process.exe").c_str(),
                            (folder + L"\\Launcher.exe").c_str(), FALSE));
    Post(WM_INSTALL_FINISH, 0);
    EXPECT_EQ(Pages()->GetCurSel(), 2);
    EXPECT_FALSE(Named(L"btn_RunNow")->IsVisible());
    EXPECT_TRUE(Named(L"btn_Confirm")->IsVisible());
    EXPECT_TRUE(PumpUntil([] { return !FindProcessesByName({kLauncherName}).empty(); }, 10000));
    Click(L"btn_Confirm");
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }));
}

TEST_F(InstallWindowTest, ClosingEndsARunningSilentInstaller) {
    Open();
    // The written payload itself, started as the elevated start would.
    UniqueHandle silent = testing_support::StartProcess(L"\"" + m_window->PayloadPath() + L"\"");
    ASSERT_TRUE(silent);
    Click(L"btnSysClose");
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }));
    EXPECT_EQ(::WaitForSingleObject(silent.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(DropQuitMessage());
}

TEST_F(InstallWindowTest, TheSystemCloseCommandClosesOnEveryPage) {
    Open();
    ASSERT_TRUE(InstallInto(MakeTempFolder(L"sysclose")).empty());
    ASSERT_FALSE(Named(L"btnSysClose")->IsVisible());
    ::SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }));
    EXPECT_TRUE(DropQuitMessage());
}

// The silent installer ends without its finish message: killed, crashed, or after an error. What
// it reported before its end is still shown first; then the close button comes back and, unless
// it reported an error itself, a message with its exit code. The page stays as it is.
TEST_F(InstallWindowTest, ASilentInstallerKilledDuringExtractionIsReported) {
    Open();
    InstallUntilTheStandInWaits(L"extraction");
    const std::vector<ShownMessage> shown = KillStandIn();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Installation failed, please try again. Error Code: " +
                                 std::to_wstring(kKilledExitCode));
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    EXPECT_EQ(Pages()->GetCurSel(), 1);
    EXPECT_EQ(Progress()->GetValue(), 100);
    EXPECT_EQ(Status(), L"Releasing files");
    ExpectNothingLeftRunning();
}

TEST_F(InstallWindowTest, ASilentInstallerKilledDuringTheDriverStepIsReported) {
    Open();
    InstallUntilTheStandInWaits(L"driver");
    const std::vector<ShownMessage> shown = KillStandIn();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.ends_with(L"Error Code: " + std::to_wstring(kKilledExitCode)));
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    EXPECT_EQ(Pages()->GetCurSel(), 1);
    EXPECT_EQ(Status(), L"Installing the latest driver components... [Receiver driver]");
    ExpectNothingLeftRunning();
}

TEST_F(InstallWindowTest, ASilentInstallerKilledJustBeforeItsFinishIsReported) {
    Open();
    InstallUntilTheStandInWaits(L"beforefinish");
    const std::vector<ShownMessage> shown = KillStandIn();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.ends_with(L"Error Code: " + std::to_wstring(kKilledExitCode)));
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    EXPECT_EQ(Pages()->GetCurSel(), 1);
    EXPECT_EQ(Progress()->GetValue(), 100);
    EXPECT_EQ(Status(), L"Releasing files") << "the second extraction was shown";
    ExpectNothingLeftRunning();
}

TEST_F(InstallWindowTest, AnErrorTheSilentInstallerReportedIsShownOnce) {
    m_standInScript = L"error";
    Open();
    MessageBoxCatcher catcher(m_hwnd);
    Named(L"edt_Folder")->SetText(MakeTempFolder(L"error"));
    Click(L"btn_Install");
    WaitUntilTheMonitorHasEnded();
    ASSERT_EQ(catcher.shown.size(), 1u) << "not again for the end of the process";
    EXPECT_EQ(catcher.shown[0].text, L"Installation failed, please try again. Error Code: 4");
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible()) << "back once the process has ended";
    EXPECT_EQ(Pages()->GetCurSel(), 1);
    ExpectNothingLeftRunning();
}

// Error 5 is not shown when it comes; an installation that then ends without a finish still tells
// the user, with the exit code, instead of leaving a page that seems to wait.
TEST_F(InstallWindowTest, AnErrorTheWindowDoesNotShowIsReportedAtTheEnd) {
    m_standInScript = L"error5";
    Open();
    MessageBoxCatcher catcher(m_hwnd);
    Named(L"edt_Folder")->SetText(MakeTempFolder(L"error5"));
    Click(L"btn_Install");
    WaitUntilTheMonitorHasEnded();
    ASSERT_EQ(catcher.shown.size(), 1u);
    EXPECT_EQ(catcher.shown[0].text, L"Installation failed, please try again. Error Code: 5");
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    EXPECT_EQ(Pages()->GetCurSel(), 1);
    ExpectNothingLeftRunning();
}

TEST_F(InstallWindowTest, AFinishWrittenJustBeforeTheEndIsHandledFirst) {
    // The stand-in ends without waiting for its finish message to be taken.
    m_standInScript = L"finish";
    Open();
    MessageBoxCatcher catcher(m_hwnd);
    Named(L"edt_Folder")->SetText(MakeTempFolder(L"finish"));
    Click(L"btn_Install");
    WaitUntilTheMonitorHasEnded();
    EXPECT_EQ(Pages()->GetCurSel(), 2);
    EXPECT_TRUE(catcher.shown.empty()) << "a finished installation reports no failure";
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    ExpectNothingLeftRunning();
}

// What the installer's log tells support: the payload, the start with the silent installer's
// process id, and the messages that came back, each once.
TEST_F(InstallWindowTest, TheLogTellsThePayloadTheStartAndWhatCameBack) {
    const std::wstring log = MakeTempFolder(L"log") + L"\\TesselAssistantSetup.log";
    m_log = InstallLog(log);
    m_standInScript = L"finish";
    Open();
    Named(L"edt_Folder")->SetText(MakeTempFolder(L"logged"));
    Click(L"btn_Install");
    WaitUntilTheMonitorHasEnded();
    ASSERT_EQ(Pages()->GetCurSel(), 2);

    const auto texts = ReadLogTexts(log);
    const std::vector<std::string> expected = {
        "write the payload: begun",
        "installing into \"" + WideToUtf8(m_window->InstallFolder()) + "\"",
        "start the silent installer: begun",
        "start the silent installer: process id " + std::to_string(::GetProcessId(m_standIn.Get())),
        "finish message received",
        "process-end message received",
        "silent installer ended: exit code 0",
    };
    size_t previous = 0;
    for (const auto& text : expected) {
        SCOPED_TRACE(text);
        const size_t at = IndexStartingWith(texts, text);
        ASSERT_LT(at, texts.size());
        EXPECT_GE(at, previous) << "in the order it happened";
        EXPECT_EQ(
            IndexStartingWith(std::vector<std::string>(texts.begin() + at + 1, texts.end()), text),
            texts.size() - at - 1)
            << "once";
        previous = at;
    }
    EXPECT_LT(IndexStartingWith(texts, "write the payload: ended after "), texts.size());
    EXPECT_LT(IndexStartingWith(texts, "start the silent installer: ended after "), texts.size());
    ExpectNothingLeftRunning();
}

// Any program on the desktop can post WM_INSTALL_DRIVER with any WPARAM: the window neither frees
// nor shows it, and the real lines still come, in order.
TEST_F(InstallWindowTest, AForeignDriverMessageShowsNothing) {
    Open();
    std::string stackText = "v:9/10[not from the monitor]";
    const std::wstring statusBefore = Status();
    Post(WM_INSTALL_DRIVER, reinterpret_cast<WPARAM>(&stackText));
    Post(WM_INSTALL_DRIVER, 0x12345678);
    EXPECT_EQ(Status(), statusBefore);

    InstallUntilTheStandInWaits(L"driver");
    const std::wstring lastLine = L"Installing the latest driver components... [Receiver driver]";
    ASSERT_TRUE(PumpUntil([&] { return Status() == lastLine; }, kDeadlineMs));
    const int barBefore = Progress()->GetValue();
    Post(WM_INSTALL_DRIVER, reinterpret_cast<WPARAM>(&stackText));
    EXPECT_EQ(Status(), lastLine);
    EXPECT_EQ(Progress()->GetValue(), barBefore);
    WriteDriverLine("v:3/4[Media keys driver]",
                    L"Installing the latest driver components... [Media keys driver]");
    WriteDriverLine("v:4/4[Mouse driver]",
                    L"Installing the latest driver components... [Mouse driver]");
}

// A WM_CLOSE from outside while the window's message box is up destroys the window (and the box
// with it); the code that showed the box touches nothing afterwards.
TEST_F(InstallWindowTest, ClosedFromOutsideWhileItsMessageBoxIsUp) {
    {
        SCOPED_TRACE("the box about a refused start");
        Open({}, /*launchSucceeds=*/false);
        Named(L"edt_Folder")->SetText(MakeTempFolder(L"closed"));
        MessageBoxCatcher catcher(m_hwnd, MessageBoxCatcher::Reaction::CloseOwner);
        Click(L"btn_Install");
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }, kDeadlineMs));
        EXPECT_EQ(catcher.shown.size(), 1u);
        EXPECT_TRUE(DropQuitMessage()) << "the window's destructor ran";
    }
    {
        SCOPED_TRACE("the box about an error");
        Open();
        ASSERT_TRUE(InstallInto(MakeTempFolder(L"closed")).empty());
        MessageBoxCatcher catcher(m_hwnd, MessageBoxCatcher::Reaction::CloseOwner);
        ::PostMessageW(m_hwnd, WM_INSTALL_ERROR, 3, 0);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }, kDeadlineMs));
        EXPECT_EQ(catcher.shown.size(), 1u);
        EXPECT_TRUE(DropQuitMessage());
    }
}

TEST_F(InstallWindowTest, ClosedFromOutsideWhileTheBoxAboutThePayloadIsUp) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    UniqueFileHandle holder(::CreateFileW((std::wstring(temp) + kSilentName).c_str(), GENERIC_READ,
                                          0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    MessageBoxCatcher catcher(nullptr, MessageBoxCatcher::Reaction::CloseOwner);
    m_waitForPayload = false;
    Open();
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(m_hwnd); }, kDeadlineMs));
    EXPECT_EQ(catcher.shown.size(), 1u);
    EXPECT_TRUE(DropQuitMessage()) << "the window's destructor ran";
}

// Another program created "Install" first, one page small and full of bytes without a
// terminator: the installer reads and writes within that page, and the installation is still
// followed to its end.
TEST_F(InstallWindowTest, AChannelAnotherProgramCreatedFirstIsFollowedWithinItsSize) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    // Gone once the monitors of earlier tests have seen their windows go.
    ASSERT_TRUE(PumpUntil(
        [] {
            return !UniqueHandle(::OpenFileMappingA(FILE_MAP_READ, FALSE, kProgressChannelName));
        },
        kDeadlineMs))
        << "an earlier installation's channel is still open";
    UniqueHandle squatter(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                               system.dwPageSize, kProgressChannelName));
    ASSERT_TRUE(squatter);
    {
        UniqueMapView view(::MapViewOfFile(squatter.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        ASSERT_TRUE(view);
        std::memset(view.Get(), 'x', system.dwPageSize);
    }
    m_standInScript = L"error";
    Open();
    MessageBoxCatcher catcher(m_hwnd);
    Named(L"edt_Folder")->SetText(MakeTempFolder(L"squatted"));
    Click(L"btn_Install");
    WaitUntilTheMonitorHasEnded();
    ASSERT_EQ(catcher.shown.size(), 1u);
    EXPECT_EQ(catcher.shown[0].text, L"Installation failed, please try again. Error Code: 4");
    EXPECT_TRUE(Named(L"btnSysClose")->IsVisible());
    ExpectNothingLeftRunning();
}

}  // namespace
}  // namespace tessel
