#include "ui/VerticalLayoutUI.h"

namespace tessel {

void* CVerticalLayoutUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"VerticalLayout" ? this : CContainerUI::QueryInterfaceByName(name);
}

void CVerticalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
    PlaceAsBox(rc, needInvalidate, Axis::Vertical);
}

void CVerticalLayoutUI::ApplyAttribute(std::wstring_view name, std::wstring_view value) {
    if (!ApplySeparatorAttribute(L"sepheight", name, value)) {
        CContainerUI::ApplyAttribute(name, value);
    }
}

}  // namespace tessel
