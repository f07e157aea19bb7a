#include "ui/EditUI.h"

#include <utility>

#include "ui/AttributeText.h"
#include "ui/EditWnd.h"
#include "ui/PaintManagerUI.h"
#include "ui/RenderEngine.h"

namespace tessel {

CEditUI::CEditUI() = default;

CEditUI::~CEditUI() {
    if (CEditWnd* window = std::exchange(m_nativeEdit, nullptr)) {
        window->OwnerGone();
    }
}

void CEditUI::OnNativeEditClosed(CEditWnd* window) {
    if (m_nativeEdit == window) {
        m_nativeEdit = nullptr;
        Invalidate();
    }
}

void* CEditUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"Edit" ? this : CLabelUI::QueryInterfaceByName(name);
}

unsigned CEditUI::GetControlFlags() const {
    return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0;
}

void CEditUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) {
        m_hot = false;
    }
}

void CEditUI::OnDisplayScaleChanged() {
    CLabelUI::OnDisplayScaleChanged();
    if (CEditWnd* window = std::exchange(m_nativeEdit, nullptr)) {
        window->OwnerGone();
    }
}

bool CEditUI::CreateNativeEdit(bool selectAll) {
    if (m_nativeEdit == nullptr) {
        m_nativeEdit = CEditWnd::Open(this, selectAll);
    }
    return m_nativeEdit != nullptr;
}

void CEditUI::HandleEvent(EventRecord& event) {
    if (PassMouseEventToParent(event)) {
        return;
    }
    switch (event.kind) {
        case EVT_SETCURSOR:
            if (IsEnabled()) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
                return;
            }
            break;
        case EVT_SETFOCUS:
            if (IsEnabled()) {
                CreateNativeEdit(false);
            }
            CLabelUI::HandleEvent(event);
            return;
        case EVT_BUTTONDOWN:
        case EVT_DBLCLICK:
        case EVT_RBUTTONDOWN:
            if (IsEnabled() && IsFocused()) {
                if (m_nativeEdit != nullptr) {
                    // The press gave the skinned window the focus; the open edit takes it back.
                    m_nativeEdit->TakeFocus();
                } else {
                    CreateNativeEdit(m_rcItem.Contains(event.mouse));
                }
            }
            return;
        case EVT_MOUSEENTER:
            if (IsEnabled()) {
                m_hot = true;
                Invalidate();
            }
            return;
        case EVT_MOUSELEAVE:
            if (IsEnabled()) {
                m_hot = false;
                Invalidate();
            }
            return;
        case EVT_KEYDOWN:
        case EVT_CHAR:
            // Keys reach the control itself only when its native window closed while the skinned
            // window kept the focus (a message box came and went): open it again and hand the
            // typed character over, so the keyboard is never left typing into nothing.
            if (IsEnabled() && IsFocused() && m_nativeEdit == nullptr && CreateNativeEdit(false) &&
                event.kind == EVT_CHAR && m_nativeEdit != nullptr) {
                ::SendMessageW(m_nativeEdit->GetHWND(), WM_CHAR, event.wParam, event.lParam);
            }
            return;
        case EVT_BUTTONUP:
        case EVT_CONTEXTMENU:
        case EVT_MOUSEMOVE:
        case EVT_SCROLLWHEEL:
            return;
        default:
            break;
    }
    CLabelUI::HandleEvent(event);
}

const ControlAttributes& CEditUI::Attributes() const {
    using Self = CEditUI;
    static const auto table = ControlAttributes::Of<Self>(
        &CLabelUI::Attributes(),
        {
            {L"readonly", [](Self& c, std::wstring_view v) { c.m_readOnly = ParseBool(v); }},
            {L"numberonly", [](Self& c, std::wstring_view v) { c.m_numberOnly = ParseBool(v); }},
            {L"autoselall", [](Self& c, std::wstring_view v) { c.m_autoSelAll = ParseBool(v); }},
            {L"password",
             [](Self& c, std::wstring_view v) {
                 c.m_password = ParseBool(v);
                 c.Invalidate();
             }},
            {L"passwordchar",
             [](Self& c, std::wstring_view v) { c.m_passwordChar = v.empty() ? L'*' : v.front(); }},
            {L"maxchar", [](Self& c, std::wstring_view v) { c.m_maxChar = ParseInt(v); }},
            {L"normalimage", [](Self& c, std::wstring_view v) { c.m_normalImage.Set(v); }},
            {L"hotimage", [](Self& c, std::wstring_view v) { c.m_hotImage.Set(v); }},
            {L"focusedimage", [](Self& c, std::wstring_view v) { c.m_focusedImage.Set(v); }},
            {L"disabledimage", [](Self& c, std::wstring_view v) { c.m_disabledImage.Set(v); }},
            {L"tipvalue", [](Self& c, std::wstring_view v) { c.m_tipValue = v; }},
            {L"tipvaluecolor",
             [](Self& c, std::wstring_view v) { c.m_tipValueColor = ParseColor(v); }},
            {L"nativetextcolor",
             [](Self& c, std::wstring_view v) { c.m_nativeTextColor = ParseColor(v); }},
            {L"nativebkcolor",
             [](Self& c, std::wstring_view v) { c.m_nativeBkColor = ParseColor(v); }},
        });
    return table;
}

void CEditUI::PaintStateImage(HDC dc) {
    ImageSlot* chosen = nullptr;
    if (!IsEnabled()) {
        chosen = &m_disabledImage;
    } else if (IsFocused()) {
        chosen = &m_focusedImage;
    } else if (m_hot) {
        chosen = &m_hotImage;
    }
    if (chosen != nullptr && !chosen->IsEmpty() && DrawImage(dc, *chosen)) {
        return;
    }
    DrawImage(dc, m_normalImage);
}

void CEditUI::PaintText(HDC dc) {
    if (m_manager == nullptr) {
        return;
    }
    const std::wstring text = GetText();
    UiRect rect = m_rcItem.Deflate(GetTextPadding());
    const unsigned style = m_textStyle | DT_SINGLELINE;
    if (text.empty() || text == m_tipValue) {
        if (!m_tipValue.empty()) {
            CRenderEngine::RenderText(dc, m_manager, rect, m_tipValue, m_tipValueColor, m_font,
                                      style);
        }
        return;
    }
    const std::wstring shown = m_password ? std::wstring(text.size(), m_passwordChar) : text;
    CRenderEngine::RenderText(dc, m_manager, rect, shown, LabelTextColor(), m_font, style);
}

}  // namespace tessel
