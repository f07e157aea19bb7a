#include "ui/TabLayoutUI.h"

#include "ui/AttributeText.h"
#include "ui/PaintManagerUI.h"

namespace tessel {

void* CTabLayoutUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"TabLayout" ? this : CContainerUI::QueryInterfaceByName(name);
}

bool CTabLayoutUI::Add(CControlUI* control) {
    if (!CContainerUI::Add(control)) {
        return false;
    }
    if (m_currentSel == -1 && control->IsVisible()) {
        m_currentSel = GetItemIndex(control);
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) {
        return false;
    }
    if (m_currentSel == -1 && control->IsVisible()) {
        m_currentSel = GetItemIndex(control);
    } else if (m_currentSel != -1 && index <= m_currentSel) {
        // Inserted before the shown page: the page moves up one and the newcomer stays as it is.
        m_currentSel += 1;
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::RemoveAt(int index, bool doNotDestroy) {
    if (!CContainerUI::RemoveAt(index, doNotDestroy)) {
        return false;
    }
    if (m_currentSel == index) {
        if (GetCount() > 0) {
            m_currentSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_currentSel = -1;
        }
        RequestParentLayout();
    } else if (m_currentSel > index) {
        m_currentSel -= 1;
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_currentSel = -1;
    CContainerUI::RemoveAll();
    RequestParentLayout();
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    if (index == m_currentSel) {
        return true;
    }
    const int old = m_currentSel;
    m_currentSel = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
            SetPos(m_rcItem, false);
        } else {
            page->SetVisible(false);
        }
    }
    RequestParentLayout();
    if (m_manager != nullptr) {
        m_manager->RaiseAccessibleEvent(AccessibleEvent::Reorder, this);
        m_manager->MoveFocusToNext();
        m_manager->SendNotification(this, L"tabselect", static_cast<uintptr_t>(index),
                                    static_cast<intptr_t>(old));
    }
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) {
    const int index = GetItemIndex(control);
    return index >= 0 && SelectItem(index);
}

void CTabLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    const UiRect content = ContentRect();  // the inset scaled, as in every container
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) {
            continue;
        }
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        if (i != m_currentSel) {
            continue;
        }
        const UiRect area = content.Deflate(child->GetPadding());
        const UiSize wish = child->MeasureSize({area.Width(), area.Height()});
        child->SetPos(PlaceInArea(area, wish, {child->GetMinWidth(), child->GetMinHeight()},
                                  {child->GetMaxWidth(), child->GetMaxHeight()}),
                      true);
    }
}

const ControlAttributes& CTabLayoutUI::Attributes() const {
    using Self = CTabLayoutUI;
    static const auto table = ControlAttributes::Of<Self>(
        &CContainerUI::Attributes(),
        {
            {L"selectedid", [](Self& c, std::wstring_view v) { c.SelectItem(ParseInt(v)); }},
        });
    return table;
}

}  // namespace tessel
