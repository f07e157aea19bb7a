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

void CEditUI::ApplyAttribute(std::wstring_view name, std::wstring_view value) {
    const auto is = [&](std::wstring_view n) { return EqualsNoCase(name, n); };
    if (is(L"readonly")) {
        m_readOnly = ParseBool(value);
    } else if (is(L"numberonly")) {
        m_numberOnly = ParseBool(value);
    } else if (is(L"autoselall")) {
        m_autoSelAll = ParseBool(value);
    } else if (is(L"password")) {
        m_password = ParseBool(value);
        Invalidate();
    } else if (is(L"passwordchar")) {
        m_passwordChar = value.empty() ? L'*' : value.front();
    } else if (is(L"maxchar")) {
        m_maxChar = ParseInt(value);
    } else if (is(L"normalimage")) {
        m_normalImage.Set(value);
    } else if (is(L"hotimage")) {
        m_hotImage.Set(value);
    } else if (is(L"focusedimage")) {
        m_focusedImage.Set(value);
    } else if (is(L"disabledimage")) {
        m_disabledImage.Set(value);
    } else if (is(L"tipvalue")) {
        m_tipValue = value;
    } else if (is(L"tipvaluecolor")) {
        m_tipValueColor = ParseColor(value);
    } else if (is(L"nativetextcolor")) {
        m_nativeTextColor = ParseColor(value);
    } else if (is(L"nativebkcolor")) {
        m_nativeBkColor = ParseColor(value);
    } else {
        CLabelUI::ApplyAttribute(name, value);
    }
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
    UiRect rect = m_rcItem.Deflate(m_textPadding);
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
