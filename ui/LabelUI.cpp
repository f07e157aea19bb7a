#include "ui/LabelUI.h"

#include "ui/AttributeText.h"
#include "ui/PaintManagerUI.h"
#include "ui/RenderEngine.h"

namespace tessel {
namespace {

// "align": the words present move the horizontal alignment bits, left before center before right.
unsigned AlignedStyle(unsigned style, std::wstring_view value) {
    if (ContainsText(value, L"left")) {
        style &= ~(DT_CENTER | DT_RIGHT);
    }
    if (ContainsText(value, L"center")) {
        style = (style & ~DT_RIGHT) | DT_CENTER;
    }
    if (ContainsText(value, L"right")) {
        style = (style & ~DT_CENTER) | DT_RIGHT;
    }
    return style;
}

// "valign": likewise for the vertical bits; a vertical alignment makes the text a single line.
unsigned VAlignedStyle(unsigned style, std::wstring_view value) {
    if (ContainsText(value, L"top")) {
        style = (style & ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK)) | DT_TOP | DT_SINGLELINE;
    }
    if (ContainsText(value, L"vcenter")) {
        style = (style & ~(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
    }
    if (ContainsText(value, L"bottom")) {
        style = (style & ~(DT_VCENTER | DT_WORDBREAK)) | DT_BOTTOM | DT_SINGLELINE;
    }
    return style;
}

unsigned WithFlag(unsigned style, unsigned flag, bool on) {
    return on ? style | flag : style & ~flag;
}

}  // namespace

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

void CLabelUI::OnDisplayScaleChanged() {
    CControlUI::OnDisplayScaleChanged();
    m_needMeasure = true;
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

const ControlAttributes& CLabelUI::Attributes() const {
    using Self = CLabelUI;
    static const auto table = ControlAttributes::Of<Self>(
        &CControlUI::Attributes(),
        {
            {L"align",
             [](Self& c, std::wstring_view v) { c.SetTextStyle(AlignedStyle(c.m_textStyle, v)); }},
            {L"valign",
             [](Self& c, std::wstring_view v) { c.SetTextStyle(VAlignedStyle(c.m_textStyle, v)); }},
            {L"endellipsis",
             [](Self& c, std::wstring_view v) {
                 c.SetTextStyle(WithFlag(c.m_textStyle, DT_END_ELLIPSIS, ParseBool(v)));
             }},
            {L"noprefix",
             [](Self& c, std::wstring_view v) {
                 c.SetTextStyle(WithFlag(c.m_textStyle, DT_NOPREFIX, ParseBool(v)));
             }},
            {L"wordbreak",
             [](Self& c, std::wstring_view v) {
                 c.SetTextStyle(
                     ParseBool(v)
                         ? (c.m_textStyle & ~DT_SINGLELINE) | DT_WORDBREAK | DT_EDITCONTROL
                         : (c.m_textStyle & ~(DT_WORDBREAK | DT_EDITCONTROL)) | DT_SINGLELINE);
             }},
            {L"font", [](Self& c, std::wstring_view v) { c.SetFont(ParseInt(v)); }},
            {L"textcolor", [](Self& c, std::wstring_view v) { c.SetTextColor(ParseColor(v)); }},
            {L"disabledtextcolor",
             [](Self& c, std::wstring_view v) { c.SetDisabledTextColor(ParseColor(v)); }},
            {L"textpadding", [](Self& c, std::wstring_view v) { c.SetTextPadding(ParseRect(v)); }},
            {L"showhtml", [](Self& c, std::wstring_view v) { c.m_showHtml = ParseBool(v); }},
            {L"autocalcwidth",
             [](Self& c, std::wstring_view v) { c.SetAutoCalcWidth(ParseBool(v)); }},
            {L"autocalcheight",
             [](Self& c, std::wstring_view v) { c.SetAutoCalcHeight(ParseBool(v)); }},
        });
    return table;
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
