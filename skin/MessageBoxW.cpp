#include "skin/MessageBoxW.h"

#include "skin/MessageBoxContent.h"
#include "ui/ButtonUI.h"
#include "ui/HorizontalLayoutUI.h"
#include "ui/LabelUI.h"
#include "ui/TextUI.h"
#include "ui/VerticalLayoutUI.h"

namespace tessel {
namespace {

// WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU; the host
// takes the caption out again.
constexpr DWORD kMessageBoxStyle = 0x96C80000;

}  // namespace

const NotifyMap& MessageBoxW::ClassNotifyMap() {
    static const NotifyMapEntry entries[] = {
        NotifyOn<MessageBoxW>(L"click", L"", &MessageBoxW::OnClick),
        NotifyOn<MessageBoxW>(L"windowinit", L"", &MessageBoxW::OnWindowInit),
    };
    static const NotifyMap map{&CWindowBase::ClassNotifyMap(), entries};
    return map;
}

int MessageBoxW::ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption) {
    auto* box = new MessageBoxW();
    // From here on the box owns itself: it is gone once its native window is.
    if (box->CreateWindowAt(owner, caption, kMessageBoxStyle, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT) == nullptr) {
        return 0;
    }
    box->SetMessage(text, caption);
    ::MessageBeep(MB_ICONASTERISK);
    return static_cast<int>(box->ShowModal());
}

void MessageBoxW::OnWindowReady() {
    m_caption = ControlAs<CLabelUI>(m_pm.FindControl(L"labCaption"), L"Label");
    m_content =
        ControlAs<CVerticalLayoutUI>(m_pm.FindControl(L"HLayoutContent"), L"VerticalLayout");
    m_buttonRow =
        ControlAs<CHorizontalLayoutUI>(m_pm.FindControl(L"HLayoutBtn"), L"HorizontalLayout");
    m_header = ControlAs<CHorizontalLayoutUI>(m_pm.FindControl(L"hl_Head"), L"HorizontalLayout");
    m_close = ControlAs<CButtonUI>(m_pm.FindControl(L"btnClose"), L"Button");
    m_button1 = ControlAs<CButtonUI>(m_pm.FindControl(L"Button1"), L"Button");
    m_text = ControlAs<CTextUI>(m_pm.FindControl(L"Lab_Content"), L"Text");
}

void MessageBoxW::SetMessage(const wchar_t* text, const wchar_t* caption) {
    const std::optional<UiSize> size =
        FillMessageBox(m_pm, text != nullptr ? text : L"", caption != nullptr ? caption : L"");
    if (size) {
        ResizeClient(size->cx, size->cy);
    }
    CenterWindow();
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    PlaceMessageBoxButtons(m_pm, window.right - window.left);
}

void MessageBoxW::OnClick(NotifyRecord& notification) {
    CControlUI* sender = notification.sender;
    if (sender != nullptr && (sender == m_close || sender == m_button1)) {
        Close(static_cast<UINT>(sender->GetTag()));
    }
}

void MessageBoxW::OnWindowInit(NotifyRecord&) {
    // Told as the system's own message boxes are: a screen reader reads the box out.
    m_pm.GetAccessibility().AnnounceDialog(DialogKind::Alert);
    if (m_button1 != nullptr) {
        m_button1->SetFocus();
    }
}

}  // namespace tessel
