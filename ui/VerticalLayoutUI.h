#pragma once

#include "ui/ContainerUI.h"

namespace tessel {

// Stacks its children top to bottom; children without a height share what is left.
class CVerticalLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"VerticalLayoutUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    void SetPos(UiRect rc, bool needInvalidate = true) override;

protected:
    const ControlAttributes& Attributes() const override;
};

}  // namespace tessel
