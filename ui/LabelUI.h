#pragma once

#include "ui/ControlUI.h"

namespace tessel {

// A single line (by default) of text in a font of the window's font table. Text colours of 0 fall
// back to the paint manager's default colours. Measures its own height from the font, and its
// width from the text when "autocalcwidth" is set.
class CLabelUI : public CControlUI {
public:
    CLabelUI();

    std::wstring_view GetClass() const override { return L"LabelUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    unsigned GetControlFlags() const override { return IsEnabled() ? UIFLAG_SETCURSOR : 0; }

    void SetText(std::wstring_view text) override;
    unsigned GetTextStyle() const { return m_textStyle; }
    void SetTextStyle(unsigned style);
    uint32_t GetTextColor() const { return m_textColor; }
    void SetTextColor(uint32_t color);
    uint32_t GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(uint32_t color);
    int GetFont() const { return m_font; }
    void SetFont(int font);
    // Scaled.
    UiRect GetTextPadding() const;
    void SetTextPadding(UiRect padding);
    bool IsAutoCalcWidth() const { return m_autoCalcWidth; }
    void SetAutoCalcWidth(bool autoCalc);
    bool IsAutoCalcHeight() const { return m_autoCalcHeight; }
    void SetAutoCalcHeight(bool autoCalc);

    UiSize MeasureSize(UiSize available) override;
    void OnDisplayScaleChanged() override;
    void PaintText(HDC dc) override;

protected:
    const ControlAttributes& Attributes() const override;
    // Measures `text` in `bounds` (client pixels) with this label's font and style.
    UiRect MeasureText(std::wstring_view text, UiRect bounds, unsigned style);
    // The label's colour rule: the text colour while enabled, the disabled one otherwise, each
    // falling back to the manager's defaults.
    uint32_t LabelTextColor() const;
    void DrawLabelText(HDC dc, uint32_t color, int font);

    uint32_t m_textColor = 0;
    uint32_t m_disabledTextColor = 0;
    int m_font = -1;
    unsigned m_textStyle = DT_VCENTER | DT_SINGLELINE;
    UiRect m_textPadding;
    bool m_showHtml = false;
    bool m_autoCalcWidth = false;
    bool m_autoCalcHeight = false;
    bool m_needMeasure = true;
    UiSize m_lastMeasured;
    UiSize m_lastAvailable{-1, -1};
};

}  // namespace tessel
