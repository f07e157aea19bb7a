#include "ui/HorizontalLayoutUI.h"

namespace tessel {

void* CHorizontalLayoutUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"HorizontalLayout" ? this : CContainerUI::QueryInterfaceByName(name);
}

void CHorizontalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
    PlaceAsBox(rc, needInvalidate, Axis::Horizontal);
}

const ControlAttributes& CHorizontalLayoutUI::Attributes() const {
    static const auto table = BoxLayoutAttributes(L"sepwidth");
    return table;
}

}  // namespace tessel
