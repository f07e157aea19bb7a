#pragma once

#include "ui/LabelUI.h"

namespace tessel {

// A progress bar: the fore image (and fore colour) fill the part of the rectangle that the value
// covers between the minimum and the maximum, stretched or cut from the image's left part.
class CProgressUI : public CLabelUI {
public:
    CProgressUI();

    std::wstring_view GetClass() const override { return L"ProgressUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;

    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int value);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int value);
    int GetValue() const { return m_value; }
    // Ignored when unchanged or outside [minimum, maximum].
    void SetValue(int value);
    bool IsStretchForeImage() const { return m_stretchForeImage; }
    void SetStretchForeImage(bool stretch = true);
    void SetShowText(bool show) { m_showText = show; }

    // The filled part, relative to the control's top-left (scaled pixels).
    UiRect FilledPart();

    void PaintForegroundColor(HDC dc) override;
    void PaintForegroundImage(HDC dc) override;

protected:
    const ControlAttributes& Attributes() const override;

    bool m_showText = false;
    bool m_horizontal = true;
    bool m_stretchForeImage = true;
    int m_max = 100;
    int m_min = 0;
    int m_value = 0;
    std::wstring m_foreModifier;
};

}  // namespace tessel
