#pragma once

#include "ui/ButtonUI.h"

namespace tessel {

// A button with a selected state. Options of one group (in one paint manager) exclude each other;
// an option without a group toggles. Selected options draw their selected images, colour and font.
class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    std::wstring_view GetClass() const override { return L"OptionUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    bool Activate() override;

    const std::wstring& GetGroup() const { return m_group; }
    void SetGroup(std::wstring_view group);
    bool IsSelected() const { return m_selected; }
    virtual void SetSelected(bool selected, bool notify = true);
    void SetSelectedImage(std::wstring_view description);

    void PaintBackColor(HDC dc) override;
    void PaintStateImage(HDC dc) override;
    void PaintForegroundImage(HDC dc) override;
    void PaintText(HDC dc) override;

protected:
    const ControlAttributes& Attributes() const override;
    // wParam of "selectchanged": 0 for an option.
    virtual uintptr_t SelectChangedParam() const { return 0; }

    bool m_selected = false;
    std::wstring m_group;
    ImageSlot m_selectedImage;
    ImageSlot m_selectedHotImage;
    ImageSlot m_selectedPushedImage;
    ImageSlot m_selectedForeImage;
    ImageSlot m_selectedStateImage;
    int m_selectedStateCount = 0;
    uint32_t m_selectedBkColor = 0;
    uint32_t m_selectedTextColor = 0;
    int m_selectedFont = -1;
};

}  // namespace tessel
