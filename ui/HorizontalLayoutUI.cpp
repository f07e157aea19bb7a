#include "ui/HorizontalLayoutUI.h"

#include "ui/AttributeText.h"

namespace tessel {

void* CHorizontalLayoutUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"HorizontalLayout" ? this : CContainerUI::QueryInterfaceByName(name);
}

void CHorizontalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.empty()) {
        UpdateScrollBars(ContentRect(), {});
        return;
    }
    const CrossAlign align = m_childVAlign == kVAlignCenter   ? CrossAlign::Center
                             : m_childVAlign == kVAlignBottom ? CrossAlign::End
                                                              : CrossAlign::Start;
    LayoutChildren(Axis::Horizontal, align, ContentRect());
}

void CHorizontalLayoutUI::ApplyAttribute(std::wstring_view name, std::wstring_view value) {
    if (EqualsNoCase(name, L"sepwidth")) {
        m_sepWidth = ParseInt(value);
    } else if (EqualsNoCase(name, L"sepimm")) {
        m_sepImmediate = ParseBool(value);
    } else {
        CContainerUI::ApplyAttribute(name, value);
    }
}

}  // namespace tessel
