#include "ui/VerticalLayoutUI.h"

#include "ui/AttributeText.h"

namespace tessel {

void* CVerticalLayoutUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"VerticalLayout" ? this : CContainerUI::QueryInterfaceByName(name);
}

void CVerticalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.empty()) {
        UpdateScrollBars(ContentRect(), {});
        return;
    }
    const CrossAlign align = m_childAlign == kAlignCenter  ? CrossAlign::Center
                             : m_childAlign == kAlignRight ? CrossAlign::End
                                                           : CrossAlign::Start;
    LayoutChildren(Axis::Vertical, align, ContentRect());
}

void CVerticalLayoutUI::ApplyAttribute(std::wstring_view name, std::wstring_view value) {
    if (EqualsNoCase(name, L"sepheight")) {
        m_sepHeight = ParseInt(value);
    } else if (EqualsNoCase(name, L"sepimm")) {
        m_sepImmediate = ParseBool(value);
    } else {
        CContainerUI::ApplyAttribute(name, value);
    }
}

}  // namespace tessel
