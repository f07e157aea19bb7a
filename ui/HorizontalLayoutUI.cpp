#include "ui/HorizontalLayoutUI.h"

namespace tessel {

void* CHorizontalLayoutUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"HorizontalLayout" ? this : CContainerUI::QueryInterfaceByName(name);
}

void CHorizontalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
    PlaceAsBox(rc, needInvalidate, Axis::Horizontal);
}

void CHorizontalLayoutUI::ApplyAttribute(std::wstring_view name, std::wstring_view value) {
    if (!ApplySeparatorAttribute(L"sepwidth", name, value)) {
        CContainerUI::ApplyAttribute(name, value);
    }
}

}  // namespace tessel
