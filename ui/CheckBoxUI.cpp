#include "ui/CheckBoxUI.h"

#include "ui/AttributeText.h"
#include "ui/PaintManagerUI.h"

namespace tessel {

void* CCheckBoxUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"CheckBox" ? this : COptionUI::QueryInterfaceByName(name);
}

void CCheckBoxUI::HandleEvent(EventRecord& event) {
    if (m_autoCheck && IsEnabled() &&
        (event.kind == EVT_BUTTONDOWN || event.kind == EVT_DBLCLICK) &&
        m_rcItem.Contains(event.mouse)) {
        SetSelected(!m_selected);
        if (m_manager != nullptr) {
            m_manager->SendNotification(this, L"checkclick", m_selected ? 1 : 0);
        }
        Invalidate();
    }
    COptionUI::HandleEvent(event);
}

bool CCheckBoxUI::Activate() {
    // With auto-check the press already toggled the box; the click is still reported.
    return m_autoCheck ? CButtonUI::Activate() : COptionUI::Activate();
}

const ControlAttributes& CCheckBoxUI::Attributes() const {
    using Self = CCheckBoxUI;
    static const auto table = ControlAttributes::Of<Self>(
        &COptionUI::Attributes(),
        {
            {L"EnableAutoCheck",
             [](Self& c, std::wstring_view v) { c.SetAutoCheck(ParseBool(v)); }},
        });
    return table;
}

}  // namespace tessel
