#pragma once

#include "ui/OptionUI.h"

namespace tessel {

// A two-state option. "selectchanged" carries the new state; with auto-check the box toggles on
// the button press itself and sends "checkclick".
class CCheckBoxUI : public COptionUI {
public:
    std::wstring_view GetClass() const override { return L"CheckBoxUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    void HandleEvent(EventRecord& event) override;
    bool Activate() override;

    bool IsAutoCheck() const { return m_autoCheck; }
    void SetAutoCheck(bool autoCheck) { m_autoCheck = autoCheck; }

protected:
    const ControlAttributes& Attributes() const override;
    uintptr_t SelectChangedParam() const override { return m_selected ? 1 : 0; }

    bool m_autoCheck = false;
};

}  // namespace tessel
