#include "ui/VerticalLayoutUI.h"

namespace tessel {

void* CVerticalLayoutUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"VerticalLayout" ? this : CContainerUI::QueryInterfaceByName(name);
}

void CVerticalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
    PlaceAsBox(rc, needInvalidate, Axis::Vertical);
}

const ControlAttributes& CVerticalLayoutUI::Attributes() const {
    static const auto table = BoxLayoutAttributes(L"sepheight");
    return table;
}

}  // namespace tessel
