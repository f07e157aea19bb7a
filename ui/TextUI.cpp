#include "ui/TextUI.h"

#include "ui/PaintManagerUI.h"

namespace tessel {

CTextUI::CTextUI() {
    m_textStyle = DT_WORDBREAK;
}

void* CTextUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"Text" ? this : CLabelUI::QueryInterfaceByName(name);
}

UiSize CTextUI::MeasureSize(UiSize available) {
    const UiRect padding = GetTextPadding();
    UiRect bounds{0, 0, m_autoCalcWidth ? 9999 : GetFixedWidth(), 9999};
    bounds.left += padding.left;
    bounds.right -= padding.right;
    const UiRect measured = MeasureText(GetText(), bounds, m_textStyle);
    if (m_autoCalcWidth && m_manager != nullptr) {
        const int width = measured.Width() + padding.left + padding.right;
        m_fixedSize.cx = m_manager->GetDisplayScale().Unscale(width);
    }
    return CControlUI::MeasureSize(available);
}

void CTextUI::HandleEvent(EventRecord& event) {
    if (PassMouseEventToParent(event)) {
        return;
    }
    const auto linkAt = [&](UiPoint p) {
        for (int i = 0; i < m_linkCount; ++i) {
            if (m_links[static_cast<size_t>(i)].Contains(p)) {
                return i;
            }
        }
        return -1;
    };
    if (event.kind == EVT_SETCURSOR && linkAt(event.mouse) >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    }
    if (event.kind == EVT_BUTTONUP && IsEnabled()) {
        const int link = linkAt(event.mouse);
        if (link >= 0 && m_manager != nullptr) {
            m_manager->SendNotification(this, L"link", static_cast<uintptr_t>(link));
            return;
        }
    }
    if (event.kind == EVT_MOUSEMOVE || event.kind == EVT_MOUSELEAVE) {
        const int hover = event.kind == EVT_MOUSEMOVE ? linkAt(event.mouse) : -1;
        if (hover != m_hoverLink) {
            m_hoverLink = hover;
            Invalidate();
        }
    }
    CLabelUI::HandleEvent(event);
}

}  // namespace tessel
