#include "ui/EditWnd.h"

#include <memory>
#include <string>

#include "ui/EditUI.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

// Messages the paint manager reflects back to the child that sent them.
constexpr UINT kReflectOffset = 0x2000;
constexpr UINT kReflectedCommand = WM_COMMAND + kReflectOffset;
constexpr UINT kReflectedColorEdit = WM_CTLCOLOREDIT + kReflectOffset;
constexpr UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + kReflectOffset;

COLORREF ToColorRef(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

CEditWnd* CEditWnd::Open(CEditUI* owner, bool selectAll) {
    if (owner == nullptr || owner->GetManager() == nullptr ||
        owner->GetManager()->GetPaintWindow() == nullptr) {
        return nullptr;
    }
    auto window = std::unique_ptr<CEditWnd>(new CEditWnd(owner));
    if (!window->Init(selectAll)) {
        return nullptr;  // no native window, so the object is still ours to delete
    }
    // From here the object belongs to its native window.
    return window.release();
}

UiRect CEditWnd::EditArea() const {
    UiRect area = m_owner->GetPos().Deflate(m_owner->GetTextPadding());
    const int lineHeight = m_owner->GetManager()->LookUpFont(m_owner->GetFont()).metrics.tmHeight;
    if (lineHeight > 0 && lineHeight < area.Height()) {
        area.top += (area.Height() - lineHeight) / 2;
        area.bottom = area.top + lineHeight;
    }
    return area;
}

bool CEditWnd::Init(bool selectAll) {
    CPaintManagerUI* manager = m_owner->GetManager();
    const HWND host = manager->GetPaintWindow();
    m_layered = manager->IsLayered();
    UiRect area = EditArea();
    DWORD style = ES_AUTOHSCROLL;
    DWORD exStyle = 0;
    if (m_layered) {
        POINT topLeft{area.left, area.top};
        ::ClientToScreen(host, &topLeft);
        area = area.Offset(topLeft.x - area.left, topLeft.y - area.top);
        style |= WS_POPUP;
        exStyle |= WS_EX_TOOLWINDOW;
    } else {
        style |= WS_CHILD;
    }
    if (m_owner->IsPasswordMode()) {
        style |= ES_PASSWORD;
    }
    if (m_owner->IsNumberOnly()) {
        style |= ES_NUMBER;
    }
    if (m_owner->IsReadOnly()) {
        style |= ES_READONLY;
    }
    if (Create(host, nullptr, style, exStyle, area.left, area.top, area.Width(), area.Height()) ==
        nullptr) {
        return false;
    }
    m_ownedByWindow = true;
    m_background.Reset(::CreateSolidBrush(ToColorRef(m_owner->GetNativeBkColor())));
    ::SendMessageW(m_hWnd, WM_SETFONT,
                   reinterpret_cast<WPARAM>(manager->GetFont(m_owner->GetFont())), TRUE);
    ::SendMessageW(m_hWnd, EM_LIMITTEXT, static_cast<WPARAM>(m_owner->GetMaxChar()), 0);
    if (m_owner->IsPasswordMode()) {
        ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, m_owner->GetPasswordChar(), 0);
    }
    ::SendMessageW(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    const std::wstring text = m_owner->GetText();
    ::SetWindowTextW(m_hWnd, text.c_str());
    ::SendMessageW(m_hWnd, EM_SETMODIFY, FALSE, 0);
    if (selectAll || m_owner->IsAutoSelAll()) {
        ::SendMessageW(m_hWnd, EM_SETSEL, 0, -1);
    } else {
        const auto end = static_cast<WPARAM>(text.size());
        ::SendMessageW(m_hWnd, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
    m_ready = true;
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    // Last: taking the focus may already end this window (and object) again.
    ::SetFocus(m_hWnd);
    return true;
}

void CEditWnd::TakeFocus() {
    ::SetFocus(m_hWnd);
}

void CEditWnd::OwnerGone() {
    m_owner = nullptr;
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);  // deletes this object
    }
}

void CEditWnd::OnWindowDestroyed(HWND) {
    if (m_owner != nullptr) {
        m_owner->OnNativeEditClosed(this);
    }
    // A window that failed during its creation leaves the object to Open.
    if (m_ownedByWindow) {
        // The one place this object ends: its window is gone and nothing else refers to it.
        delete this;
    }
}

void CEditWnd::OnTextChanged() {
    if (!m_ready || m_owner == nullptr) {
        return;
    }
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    m_owner->SetText(text);
    if (CPaintManagerUI* manager = m_owner->GetManager()) {
        manager->SendNotification(m_owner, L"textchanged");
    }
}

LRESULT CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Focus taken back since the close was posted: it has not lost the focus after all.
            if (::GetFocus() == m_hWnd) {
                return 0;
            }
            break;
        case WM_KILLFOCUS: {
            const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
            PostMessage(WM_CLOSE);
            return result;
        }
        case kReflectedCommand:
            if (HIWORD(wParam) == EN_CHANGE) {
                OnTextChanged();
            }
            return 0;
        case kReflectedColorEdit:
        case kReflectedColorStatic: {
            if (m_owner == nullptr) {
                break;
            }
            auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, ToColorRef(m_owner->GetNativeTextColor()));
            ::SetBkColor(dc, ToColorRef(m_owner->GetNativeBkColor()));
            return reinterpret_cast<LRESULT>(m_background.Get());
        }
        case WM_KEYDOWN:
            // A pop-up edit is nobody's child, so the skinned window never sees its Tab.
            if (wParam == VK_TAB && m_layered && m_owner != nullptr) {
                m_owner->GetManager()->MoveFocusByKeyboard(
                    ::GetKeyState(VK_SHIFT) >= 0 ? TabDirection::Forward : TabDirection::Backward);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == VK_RETURN) {
                if (m_owner != nullptr && m_owner->GetManager() != nullptr) {
                    m_owner->GetManager()->SendNotification(m_owner, L"return");
                }
                return 0;
            }
            if (wParam == VK_TAB) {
                return 0;
            }
            break;
        default:
            break;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

}  // namespace tessel
