#pragma once

#include <array>

#include "ui/LabelUI.h"

namespace tessel {

// Text that wraps at word boundaries by default. Its size is its fixed size; "autocalcwidth" sets
// the fixed width from the measured text. Link rectangles would come from HTML drawing, which no
// skin uses, so none are ever found.
class CTextUI : public CLabelUI {
public:
    CTextUI();

    std::wstring_view GetClass() const override { return L"TextUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    UiSize MeasureSize(UiSize available) override;
    void HandleEvent(EventRecord& event) override;

protected:
    static constexpr int kMaxLinks = 8;
    std::array<UiRect, kMaxLinks> m_links{};
    int m_linkCount = 0;
    int m_hoverLink = -1;
};

}  // namespace tessel
