// The real install window given a folder Windows cannot use: a real click on Install brings the
// invalid-folder message, page 0 stays, and the elevated start is never called. The double quote
// is the case that once reached the silent installer and split its command line.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/WndInstall.h"
#include "skin/LanguageTable.h"
#include "tests/skin/SkinTestSupport.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/ControlUI.h"
#include "ui/TabLayoutUI.h"

namespace tessel {
namespace {

using testing_support::PumpUntil;

constexpr DWORD kDeadlineMs = 20'000;
constexpr UINT_PTR kBoxPollMs = 20;

class NoDevices final : public IDeviceInstanceSource {
public:
    void ForEachInstanceId(const std::function<bool(std::wstring_view)>&) const override {}
};

// Closes each skinned message box `owner` shows as soon as it is up (a thread timer keeps running
// inside the box's modal loop) and keeps its text.
class MessageBoxCloser {
public:
    explicit MessageBoxCloser(HWND owner) : m_owner(owner) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, kBoxPollMs, &MessageBoxCloser::OnTimer);
    }
    ~MessageBoxCloser() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    std::vector<std::wstring> texts;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (s_current != nullptr) {
            ::EnumThreadWindows(::GetCurrentThreadId(), &MessageBoxCloser::OnWindow,
                                reinterpret_cast<LPARAM>(s_current));
        }
    }
    static BOOL CALLBACK OnWindow(HWND window, LPARAM self) {
        auto* closer = reinterpret_cast<MessageBoxCloser*>(self);
        if (::GetWindow(window, GW_OWNER) != closer->m_owner || !::IsWindowVisible(window)) {
            return TRUE;
        }
        std::wstring text;
        auto* host = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (auto* box = dynamic_cast<WindowImplBase*>(host)) {
            if (CControlUI* label = box->GetPaintManager().FindControl(L"Lab_Content")) {
                text = label->GetText();
            }
        }
        closer->texts.push_back(text);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
    }

    static inline MessageBoxCloser* s_current = nullptr;
    HWND m_owner;
    UINT_PTR m_timer = 0;
};

class InstallFolderRefusalTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(testing_support::OpenBuiltSkinPackage());
        ASSERT_TRUE(testing_support::LoadLanguage(L"lan_en.xml"));
    }
    void TearDown() override {
        if (::IsWindow(m_hwnd)) {
            ::DestroyWindow(m_hwnd);
        }
        // The window's destructor posts the quit message; it must not end a later loop.
        MSG quit;
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Creates and shows the window as the entry does, then waits until Install can be clicked.
    void Open() {
        m_window = new CWndInstall();
        m_window->SetDeviceSource(std::make_unique<NoDevices>());
        m_window->SetLaunchFunction([this](SHELLEXECUTEINFOW&) {
            ++m_launches;
            return true;
        });
        m_hwnd = m_window->CreateWindowAt(nullptr, L"TESSEL installation", 0x10CF0000, 0,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                          CW_USEDEFAULT);
        ASSERT_NE(m_hwnd, nullptr);
        m_window->ShowWindow(true, true);
        m_install = m_window->GetPaintManager().FindControl(L"btn_Install");
        ASSERT_NE(m_install, nullptr);
        ASSERT_TRUE(PumpUntil(
            [&] {
                const UiRect r = m_install->GetPos();
                return ::IsWindowVisible(m_hwnd) && m_install->IsVisible() &&
                       m_install->IsEnabled() && r.right > r.left && r.bottom > r.top;
            },
            kDeadlineMs))
            << "the Install button was never laid out";
    }

    int Page() {
        CControlUI* pages = m_window->GetPaintManager().FindControl(L"tabLyt_Client");
        auto* tabs = pages != nullptr
                         ? static_cast<CTabLayoutUI*>(pages->QueryInterfaceByName(L"TabLayout"))
                         : nullptr;
        return tabs != nullptr ? tabs->GetCurSel() : -1;
    }

    // Types `folder` and clicks Install through the window's mouse messages; returns the texts of
    // the message boxes that came up, once one has come and gone.
    std::vector<std::wstring> InstallInto(const std::wstring& folder) {
        m_window->GetPaintManager().FindControl(L"edt_Folder")->SetText(folder);
        MessageBoxCloser closer(m_hwnd);
        const UiRect r = m_install->GetPos();
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::SendMessageW(m_hwnd, WM_MOUSEMOVE, 0, at);
        ::SendMessageW(m_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(m_hwnd, WM_LBUTTONUP, 0, at);
        // The box is modal: it has come and gone once the button-up returned, unless the click
        // went nowhere; then the deadline says so.
        EXPECT_TRUE(PumpUntil([&] { return !closer.texts.empty(); }, kDeadlineMs))
            << "no message box came up";
        return closer.texts;
    }

    CWndInstall* m_window = nullptr;  // owns itself
    HWND m_hwnd = nullptr;
    CControlUI* m_install = nullptr;  // not owned; lives with the window
    int m_launches = 0;
};

TEST_F(InstallFolderRefusalTest, FoldersWindowsCannotUseAreRefusedOnPageZero) {
    const std::wstring invalidFolder = CLanguageTable::Instance().LookUpText(L"lan_103");
    ASSERT_EQ(invalidFolder, L"Please choose the correct path");
    Open();
    const std::wstring folders[] = {
        L"C:\\Fault\"Test", L"C:\\Apps\\NUL", L"C:\\Apps\\lpt1.log\\x", L"C:Apps",
        L"C:\\Apps.\\Tessel", L"C:\\a|b",     L"C:\\a<b>",
    };
    for (const auto& folder : folders) {
        SCOPED_TRACE(testing::Message() << "folder " << (&folder - folders));
        const std::vector<std::wstring> shown = InstallInto(folder);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], invalidFolder);
        EXPECT_EQ(Page(), 0);
        EXPECT_TRUE(::IsWindowEnabled(m_hwnd)) << "the owner is enabled again";
    }
    EXPECT_EQ(m_launches, 0) << "the silent installer was started";
}

}  // namespace
}  // namespace tessel
