#include "ui/LabelUI.h"

#include "ui/AttributeText.h"
#include "ui/PaintManagerUI.h"
#include "ui/RenderEngine.h"

namespace tessel {

CLabelUI::CLabelUI() = default;

void* CLabelUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"Label" ? this : CControlUI::QueryInterfaceByName(name);
}

void CLabelUI::SetText(std::wstring_view text) {
    CControlUI::SetText(text);
    m_needMeasure = true;
    if (m_autoCalcWidth || m_autoCalcHeight) {
        RequestParentLayout();
    }
}

void CLabelUI::SetTextStyle(unsigned style) {
    m_textStyle = style;
    m_needMeasure = true;
    Invalidate();
}

void CLabelUI::SetTextColor(uint32_t color) {
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(uint32_t color) {
    m_disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int font) {
    m_font = font;
    m_needMeasure = true;
    Invalidate();
}

UiRect CLabelUI::GetTextPadding() const {
    return ScaleRect(m_textPadding);
}

void CLabelUI::SetTextPadding(UiRect padding) {
    m_textPadding = padding;
    m_needMeasure = true;
    Invalidate();
}

void CLabelUI::SetAutoCalcWidth(bool autoCalc) {
    m_autoCalcWidth = autoCalc;
    m_needMeasure = true;
}

void CLabelUI::SetAutoCalcHeight(bool autoCalc) {
    m_autoCalcHeight = autoCalc;
    m_needMeasure = true;
}

void CLabelUI::ApplyAttribute(std::wstring_view name, std::wstring_view value) {
    const auto is = [&](std::wstring_view n) { return EqualsNoCase(name, n); };
    if (is(L"align")) {
        unsigned style = m_textStyle;
        if (ContainsText(value, L"left")) {
            style &= ~(DT_CENTER | DT_RIGHT);
        }
        if (ContainsText(value, L"center")) {
            style = (style & ~DT_RIGHT) | DT_CENTER;
        }
        if (ContainsText(value, L"right")) {
            style = (style & ~DT_CENTER) | DT_RIGHT;
        }
        SetTextStyle(style);
    } else if (is(L"valign")) {
        unsigned style = m_textStyle;
        if (ContainsText(value, L"top")) {
            style = (style & ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK)) | DT_TOP | DT_SINGLELINE;
        }
        if (ContainsText(value, L"vcenter")) {
            style = (style & ~(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
        }
        if (ContainsText(value, L"bottom")) {
            style = (style & ~(DT_VCENTER | DT_WORDBREAK)) | DT_BOTTOM | DT_SINGLELINE;
        }
        SetTextStyle(style);
    } else if (is(L"endellipsis")) {
        SetTextStyle(ParseBool(value) ? m_textStyle | DT_END_ELLIPSIS
                                      : m_textStyle & ~DT_END_ELLIPSIS);
    } else if (is(L"noprefix")) {
        SetTextStyle(ParseBool(value) ? m_textStyle | DT_NOPREFIX : m_textStyle & ~DT_NOPREFIX);
    } else if (is(L"wordbreak")) {
        if (ParseBool(value)) {
            SetTextStyle((m_textStyle & ~DT_SINGLELINE) | DT_WORDBREAK | DT_EDITCONTROL);
        } else {
            SetTextStyle((m_textStyle & ~(DT_WORDBREAK | DT_EDITCONTROL)) | DT_SINGLELINE);
        }
    } else if (is(L"font")) {
        SetFont(ParseInt(value));
    } else if (is(L"textcolor")) {
        SetTextColor(ParseColor(value));
    } else if (is(L"disabledtextcolor")) {
        SetDisabledTextColor(ParseColor(value));
    } else if (is(L"textpadding")) {
        SetTextPadding(ParseRect(value));
    } else if (is(L"showhtml")) {
        m_showHtml = ParseBool(value);
    } else if (is(L"autocalcwidth")) {
        SetAutoCalcWidth(ParseBool(value));
    } else if (is(L"autocalcheight")) {
        SetAutoCalcHeight(ParseBool(value));
    } else {
        CControlUI::ApplyAttribute(name, value);
    }
}

UiRect CLabelUI::MeasureText(std::wstring_view text, UiRect bounds, unsigned style) {
    if (m_manager == nullptr) {
        return {bounds.left, bounds.top, bounds.left, bounds.top};
    }
    CRenderEngine::RenderText(m_manager->GetPaintDC(), m_manager, bounds, text, 0, m_font,
                              style | DT_CALCRECT);
    return bounds;
}

UiSize CLabelUI::MeasureSize(UiSize available) {
    const UiSize fixed{GetFixedWidth(), GetFixedHeight()};
    if (fixed.cx >= 1 && fixed.cy >= 1) {
        return fixed;
    }
    if (m_manager == nullptr) {
        return fixed;
    }
    if (available != m_lastAvailable) {
        m_needMeasure = true;
    }
    if (!m_needMeasure) {
        return m_lastMeasured;
    }
    m_needMeasure = false;
    m_lastAvailable = available;
    m_lastMeasured = fixed;
    const UiRect padding = GetTextPadding();
    const std::wstring text = GetText();
    if ((m_textStyle & DT_SINGLELINE) != 0) {
        if (m_lastMeasured.cy == 0) {
            m_lastMeasured.cy =
                m_manager->LookUpFont(m_font).metrics.tmHeight + 8 + padding.top + padding.bottom;
        }
        if (m_lastMeasured.cx == 0 && m_autoCalcWidth) {
            const UiRect r = MeasureText(text, {0, 0, 9999, m_lastMeasured.cy}, m_textStyle);
            m_lastMeasured.cx = r.Width() + padding.left + padding.right;
        }
    } else if (m_lastMeasured.cy == 0 && m_autoCalcHeight) {
        const UiRect r = MeasureText(
            text, {padding.left, 0, m_lastMeasured.cx - padding.right, 9999}, m_textStyle);
        m_lastMeasured.cy = r.Height() + padding.top + padding.bottom;
    }
    return m_lastMeasured;
}

uint32_t CLabelUI::LabelTextColor() const {
    if (IsEnabled()) {
        if (m_textColor != 0) {
            return m_textColor;
        }
        return m_manager != nullptr ? m_manager->GetDefaultFontColor() : 0xFF000000u;
    }
    if (m_disabledTextColor != 0) {
        return m_disabledTextColor;
    }
    return m_manager != nullptr ? m_manager->GetDefaultDisabledColor() : 0xFFA7A6AAu;
}

void CLabelUI::DrawLabelText(HDC dc, uint32_t color, int font) {
    const std::wstring text = GetText();
    if (text.empty() || m_manager == nullptr) {
        return;
    }
    UiRect rect = m_rcItem.Deflate(GetTextPadding());
    // HTML text ("showhtml") is not used by any skin; such labels draw their text plainly.
    CRenderEngine::RenderText(dc, m_manager, rect, text, color, font, m_textStyle);
}

void CLabelUI::PaintText(HDC dc) {
    DrawLabelText(dc, LabelTextColor(), m_font);
}

}  // namespace tessel
