#include "ui/ProgressUI.h"

#include <cstdio>

#include "ui/AttributeText.h"
#include "ui/PaintManagerUI.h"
#include "ui/RenderEngine.h"

namespace tessel {

CProgressUI::CProgressUI() {
    m_textStyle = DT_CENTER | DT_SINGLELINE;
    m_fixedSize.cy = 12;
}

void* CProgressUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"Progress" ? this : CLabelUI::QueryInterfaceByName(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    if (m_horizontal != horizontal) {
        m_horizontal = horizontal;
        Invalidate();
    }
}

void CProgressUI::SetMinValue(int value) {
    m_min = value;
    Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
    m_max = value;
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    if (value == m_value || value < m_min || value > m_max) {
        return;
    }
    m_value = value;
    Invalidate();
    if (m_manager != nullptr) {
        m_manager->RaiseAccessibleEvent(AccessibleEvent::ValueChange, this);
    }
    if (m_showText) {
        const double span = m_max > m_min ? static_cast<double>(m_max) - m_min : 1.0;
        wchar_t text[32];
        std::swprintf(text, std::size(text), L"%.0f%%", (m_value - m_min) * 100.0 / span);
        SetText(text);
    }
}

void CProgressUI::SetStretchForeImage(bool stretch) {
    if (m_stretchForeImage != stretch) {
        m_stretchForeImage = stretch;
        Invalidate();
    }
}

const ControlAttributes& CProgressUI::Attributes() const {
    using Self = CProgressUI;
    static const auto table = ControlAttributes::Of<Self>(
        &CLabelUI::Attributes(),
        {
            {L"hor", [](Self& c, std::wstring_view v) { c.SetHorizontal(ParseBool(v)); }},
            {L"min", [](Self& c, std::wstring_view v) { c.SetMinValue(ParseInt(v)); }},
            {L"max", [](Self& c, std::wstring_view v) { c.SetMaxValue(ParseInt(v)); }},
            {L"value", [](Self& c, std::wstring_view v) { c.SetValue(ParseInt(v)); }},
            {L"isstretchfore",
             [](Self& c, std::wstring_view v) { c.SetStretchForeImage(ParseBool(v)); }},
        });
    return table;
}

UiRect CProgressUI::FilledPart() {
    if (m_min >= m_max) {
        m_max = m_min + 1;
    }
    m_value = std::clamp(m_value, m_min, m_max);
    const long long span = static_cast<long long>(m_max) - m_min;
    const long long done = static_cast<long long>(m_value) - m_min;
    if (m_horizontal) {
        const int width = static_cast<int>(done * m_rcItem.Width() / span);
        return {0, 0, width, m_rcItem.Height()};
    }
    const int height = static_cast<int>(done * m_rcItem.Height() / span);
    return {0, m_rcItem.Height() - height, m_rcItem.Width(), m_rcItem.Height()};
}

void CProgressUI::PaintForegroundColor(HDC dc) {
    if (m_foreColor == 0) {
        return;
    }
    const UiRect part = FilledPart();
    CRenderEngine::FillColor(dc, part.Offset(m_rcItem.left, m_rcItem.top), m_foreColor);
}

void CProgressUI::PaintForegroundImage(HDC dc) {
    if (m_foreImage.IsEmpty()) {
        return;
    }
    UiRect part = FilledPart();
    if (part.IsEmpty()) {
        return;
    }
    // The modifier is written in markup units; the image description scales it back.
    if (m_manager != nullptr) {
        const DisplayScale& scale = m_manager->GetDisplayScale();
        part = {scale.Unscale(part.left), scale.Unscale(part.top), scale.Unscale(part.right),
                scale.Unscale(part.bottom)};
    }
    wchar_t modifier[128];
    if (m_stretchForeImage) {
        std::swprintf(modifier, std::size(modifier), L"dest='%d,%d,%d,%d'", part.left, part.top,
                      part.right, part.bottom);
    } else {
        std::swprintf(modifier, std::size(modifier), L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'",
                      part.left, part.top, part.right, part.bottom, part.left, part.top, part.right,
                      part.bottom);
    }
    m_foreModifier = modifier;
    DrawImage(dc, m_foreImage, m_foreModifier);
}

}  // namespace tessel
