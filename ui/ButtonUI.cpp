#include "ui/ButtonUI.h"

#include <cstdio>

#include "ui/AttributeText.h"
#include "ui/PaintManagerUI.h"
#include "ui/RenderEngine.h"
#include "ui/TabLayoutUI.h"

namespace tessel {

CButtonUI::CButtonUI() = default;

void* CButtonUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"Button" ? this : CLabelUI::QueryInterfaceByName(name);
}

unsigned CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) {
        return false;
    }
    if (m_manager != nullptr) {
        m_manager->SendNotification(this, L"click");
        if (!m_bindTabLayoutName.empty() && m_bindTabIndex >= 0) {
            CControlUI* found = m_manager->FindControl(m_bindTabLayoutName);
            if (auto* tab = found != nullptr ? static_cast<CTabLayoutUI*>(
                                                   found->QueryInterfaceByName(L"TabLayout"))
                                             : nullptr) {
                tab->SelectItem(m_bindTabIndex);
            }
        }
    }
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) {
        m_buttonState = 0;
    }
}

void CButtonUI::HandleEvent(EventRecord& event) {
    if (PassMouseEventToParent(event)) {
        return;
    }
    switch (event.kind) {
        case EVT_SETFOCUS:
        case EVT_KILLFOCUS:
            CLabelUI::HandleEvent(event);
            Invalidate();
            return;
        case EVT_KEYDOWN:
            if (IsKeyboardEnabled() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
                Activate();
                return;
            }
            break;
        case EVT_BUTTONDOWN:
        case EVT_DBLCLICK:
            if (m_rcItem.Contains(event.mouse) && IsEnabled()) {
                m_buttonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
                Invalidate();
            }
            return;
        case EVT_MOUSEMOVE:
            if ((m_buttonState & UISTATE_CAPTURED) != 0) {
                if (m_rcItem.Contains(event.mouse)) {
                    m_buttonState |= UISTATE_PUSHED;
                } else {
                    m_buttonState &= ~UISTATE_PUSHED;
                }
                Invalidate();
            }
            return;
        case EVT_BUTTONUP:
            if ((m_buttonState & UISTATE_CAPTURED) != 0) {
                m_buttonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
                if (m_rcItem.Contains(event.mouse)) {
                    Activate();
                }
            }
            return;
        case EVT_CONTEXTMENU:
            if (IsContextMenuUsed() && m_manager != nullptr) {
                m_manager->SendNotification(this, L"menu", event.wParam, event.lParam);
            }
            return;
        case EVT_MOUSEENTER:
            if (IsEnabled()) {
                m_buttonState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case EVT_MOUSELEAVE:
            if (IsEnabled()) {
                m_buttonState &= ~UISTATE_HOT;
                Invalidate();
            }
            return;
        case EVT_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        default:
            break;
    }
    CLabelUI::HandleEvent(event);
}

void CButtonUI::SetNormalImage(std::wstring_view d) {
    m_normalImage.Set(d);
    Invalidate();
}
void CButtonUI::SetHotImage(std::wstring_view d) {
    m_hotImage.Set(d);
    Invalidate();
}
void CButtonUI::SetPushedImage(std::wstring_view d) {
    m_pushedImage.Set(d);
    Invalidate();
}
void CButtonUI::SetFocusedImage(std::wstring_view d) {
    m_focusedImage.Set(d);
    Invalidate();
}
void CButtonUI::SetDisabledImage(std::wstring_view d) {
    m_disabledImage.Set(d);
    Invalidate();
}
void CButtonUI::SetStateImage(std::wstring_view d) {
    m_stateImage.Set(d);
    Invalidate();
}
void CButtonUI::SetStateCount(int count) {
    m_stateCount = count;
    Invalidate();
}
void CButtonUI::BindTabLayout(std::wstring_view layoutName, int index) {
    m_bindTabLayoutName = layoutName;
    m_bindTabIndex = index;
}

const ControlAttributes& CButtonUI::Attributes() const {
    using Self = CButtonUI;
    static const auto table = ControlAttributes::Of<Self>(
        &CLabelUI::Attributes(),
        {
            {L"normalimage", [](Self& c, std::wstring_view v) { c.SetNormalImage(v); }},
            {L"hotimage", [](Self& c, std::wstring_view v) { c.SetHotImage(v); }},
            {L"pushedimage", [](Self& c, std::wstring_view v) { c.SetPushedImage(v); }},
            {L"focusedimage", [](Self& c, std::wstring_view v) { c.SetFocusedImage(v); }},
            {L"disabledimage", [](Self& c, std::wstring_view v) { c.SetDisabledImage(v); }},
            {L"hotforeimage", [](Self& c, std::wstring_view v) { c.m_hotForeImage.Set(v); }},
            {L"pushedforeimage", [](Self& c, std::wstring_view v) { c.m_pushedForeImage.Set(v); }},
            {L"stateimage", [](Self& c, std::wstring_view v) { c.SetStateImage(v); }},
            {L"statecount", [](Self& c, std::wstring_view v) { c.SetStateCount(ParseInt(v)); }},
            {L"bindtabindex", [](Self& c, std::wstring_view v) { c.m_bindTabIndex = ParseInt(v); }},
            {L"bindtablayoutname", [](Self& c, std::wstring_view v) { c.m_bindTabLayoutName = v; }},
            {L"hotbkcolor", [](Self& c, std::wstring_view v) { c.m_hotBkColor = ParseColor(v); }},
            {L"pushedbkcolor",
             [](Self& c, std::wstring_view v) { c.m_pushedBkColor = ParseColor(v); }},
            {L"disabledbkcolor",
             [](Self& c, std::wstring_view v) { c.m_disabledBkColor = ParseColor(v); }},
            {L"hottextcolor",
             [](Self& c, std::wstring_view v) { c.m_hotTextColor = ParseColor(v); }},
            {L"pushedtextcolor",
             [](Self& c, std::wstring_view v) { c.m_pushedTextColor = ParseColor(v); }},
            {L"focusedtextcolor",
             [](Self& c, std::wstring_view v) { c.m_focusedTextColor = ParseColor(v); }},
            {L"hotfont", [](Self& c, std::wstring_view v) { c.m_hotFont = ParseInt(v); }},
            {L"pushedfont", [](Self& c, std::wstring_view v) { c.m_pushedFont = ParseInt(v); }},
            // The markup's spelling of the focused font.
            {L"focuedfont", [](Self& c, std::wstring_view v) { c.m_focusedFont = ParseInt(v); }},
        });
    return table;
}

void CButtonUI::RefreshState() {
    if (IsFocused()) {
        m_buttonState |= UISTATE_FOCUSED;
    } else {
        m_buttonState &= ~UISTATE_FOCUSED;
    }
    if (!IsEnabled()) {
        m_buttonState |= UISTATE_DISABLED;
    } else {
        m_buttonState &= ~UISTATE_DISABLED;
    }
    if (m_manager != nullptr && m_manager->GetPaintWindow() != nullptr &&
        !::IsWindowEnabled(m_manager->GetPaintWindow())) {
        m_buttonState &= UISTATE_DISABLED;
    }
}

bool CButtonUI::SplitStateStrip(ImageSlot& strip, int count, ImageSlot* const* targets,
                                size_t targetCount) {
    if (strip.IsEmpty() || count < 1 || m_manager == nullptr) {
        return false;
    }
    const ImageDrawSpec& spec = strip.Spec({}, 100);
    // The frames are cut in pixels of the image at 100 %, whichever file the scale draws from.
    const ScaledImage found =
        m_manager->LookUpImageForScale(spec.name, spec.resourceType, spec.mask, spec.hsl);
    if (found.image == nullptr) {
        return false;
    }
    const UiSize size = found.SizeAsWritten();
    const int frameWidth = size.cx / count;
    const int frameHeight = size.cy;
    for (int k = 1; k <= count && static_cast<size_t>(k) <= targetCount; ++k) {
        if (targets[k - 1] == nullptr) {
            continue;
        }
        wchar_t modifier[96];
        std::swprintf(modifier, std::size(modifier), L"' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'",
                      spec.dest.left, spec.dest.top, spec.dest.right, spec.dest.bottom,
                      (k - 1) * frameWidth, 0, k * frameWidth, frameHeight);
        targets[k - 1]->Set(L"res='" + spec.name + L"' restype='" + spec.resourceType + modifier);
    }
    return true;
}

void CButtonUI::PaintBackColor(HDC dc) {
    if ((m_buttonState & UISTATE_DISABLED) != 0) {
        if (m_disabledBkColor != 0) {
            CRenderEngine::FillColor(dc, m_rcPaint, m_disabledBkColor);
            return;
        }
    } else if ((m_buttonState & UISTATE_PUSHED) != 0) {
        if (m_pushedBkColor != 0) {
            CRenderEngine::FillColor(dc, m_rcPaint, m_pushedBkColor);
            return;
        }
    } else if ((m_buttonState & UISTATE_HOT) != 0) {
        if (m_hotBkColor != 0) {
            CRenderEngine::FillColor(dc, m_rcPaint, m_hotBkColor);
            return;
        }
    }
    CLabelUI::PaintBackColor(dc);
}

void CButtonUI::PaintStateImage(HDC dc) {
    if (m_normalImage.IsEmpty() && !m_stateImage.IsEmpty() && m_stateCount >= 1) {
        // Frame 2 serves as the pushed image too until a third frame replaces it.
        ImageSlot* const frames[] = {&m_normalImage, &m_hotImage, &m_pushedImage, &m_disabledImage};
        if (SplitStateStrip(m_stateImage, m_stateCount, frames, std::size(frames)) &&
            m_stateCount == 2) {
            m_pushedImage.Set(m_hotImage.Text());
        }
    }
    RefreshState();
    struct Candidate {
        unsigned bit;
        ImageSlot* image;
    };
    const Candidate candidates[] = {{UISTATE_DISABLED, &m_disabledImage},
                                    {UISTATE_PUSHED, &m_pushedImage},
                                    {UISTATE_HOT, &m_hotImage},
                                    {UISTATE_FOCUSED, &m_focusedImage}};
    for (const Candidate& c : candidates) {
        if ((m_buttonState & c.bit) != 0 && !c.image->IsEmpty()) {
            if (DrawImage(dc, *c.image)) {
                return;
            }
            break;
        }
    }
    DrawImage(dc, m_normalImage);
}

void CButtonUI::PaintForegroundImage(HDC dc) {
    if ((m_buttonState & UISTATE_PUSHED) != 0 && !m_pushedForeImage.IsEmpty()) {
        DrawImage(dc, m_pushedForeImage);
    } else if ((m_buttonState & UISTATE_HOT) != 0 && !m_hotForeImage.IsEmpty()) {
        DrawImage(dc, m_hotForeImage);
    } else {
        CLabelUI::PaintForegroundImage(dc);
    }
}

uint32_t CButtonUI::ButtonTextColor() const {
    if ((m_buttonState & UISTATE_PUSHED) != 0 && m_pushedTextColor != 0) {
        return m_pushedTextColor;
    }
    if ((m_buttonState & UISTATE_HOT) != 0 && m_hotTextColor != 0) {
        return m_hotTextColor;
    }
    if ((m_buttonState & UISTATE_FOCUSED) != 0 && m_focusedTextColor != 0) {
        return m_focusedTextColor;
    }
    return LabelTextColor();
}

int CButtonUI::ButtonFont() const {
    if ((m_buttonState & UISTATE_PUSHED) != 0 && m_pushedFont != -1) {
        return m_pushedFont;
    }
    if ((m_buttonState & UISTATE_HOT) != 0 && m_hotFont != -1) {
        return m_hotFont;
    }
    if ((m_buttonState & UISTATE_FOCUSED) != 0 && m_focusedFont != -1) {
        return m_focusedFont;
    }
    return m_font;
}

void CButtonUI::PaintText(HDC dc) {
    RefreshState();
    DrawLabelText(dc, ButtonTextColor(), ButtonFont());
}

}  // namespace tessel
