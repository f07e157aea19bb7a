#pragma once

#include "ui/ContainerUI.h"

namespace tessel {

// Stacks its children left to right; children without a width share what is left.
class CHorizontalLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"HorizontalLayoutUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    void SetPos(UiRect rc, bool needInvalidate = true) override;

protected:
    const ControlAttributes& Attributes() const override;
};

}  // namespace tessel
