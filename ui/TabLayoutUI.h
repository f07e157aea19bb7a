#pragma once

#include "ui/ContainerUI.h"

namespace tessel {

// Shows one child (page) at a time over the content rectangle; every other page is hidden.
// Selecting a page sends "tabselect" (wParam the new index, lParam the old one).
class CTabLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"TabLayoutUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;

    int GetCurSel() const { return m_currentSel; }
    virtual bool SelectItem(int index);
    virtual bool SelectItem(CControlUI* control);

    void SetPos(UiRect rc, bool needInvalidate = true) override;

protected:
    const ControlAttributes& Attributes() const override;

    int m_currentSel = -1;
};

}  // namespace tessel
