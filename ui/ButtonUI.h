#pragma once

#include "ui/LabelUI.h"

namespace tessel {

// Button state bits.
inline constexpr unsigned UISTATE_FOCUSED = 1;
inline constexpr unsigned UISTATE_SELECTED = 2;
inline constexpr unsigned UISTATE_DISABLED = 4;
inline constexpr unsigned UISTATE_HOT = 8;
inline constexpr unsigned UISTATE_PUSHED = 16;
inline constexpr unsigned UISTATE_READONLY = 32;
inline constexpr unsigned UISTATE_CAPTURED = 64;

// A push button: images, background colours, text colours and fonts per state (normal, hot,
// pushed, focused, disabled). A "stateimage" strip of "statecount" equal frames stands in for the
// normal, hot, pushed and disabled images while no normal image is set. Activating it sends
// "click" and may select a page of a bound tab layout.
class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    std::wstring_view GetClass() const override { return L"ButtonUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    unsigned GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(EventRecord& event) override;

    unsigned GetButtonState() const { return m_buttonState; }
    void SetNormalImage(std::wstring_view description);
    void SetHotImage(std::wstring_view description);
    void SetPushedImage(std::wstring_view description);
    void SetFocusedImage(std::wstring_view description);
    void SetDisabledImage(std::wstring_view description);
    void SetStateImage(std::wstring_view description);
    void SetStateCount(int count);
    const std::wstring& GetNormalImage() const { return m_normalImage.Text(); }
    const std::wstring& GetHotImage() const { return m_hotImage.Text(); }
    const std::wstring& GetPushedImage() const { return m_pushedImage.Text(); }
    const std::wstring& GetDisabledImage() const { return m_disabledImage.Text(); }
    void BindTabLayout(std::wstring_view layoutName, int index);

    void PaintBackColor(HDC dc) override;
    void PaintStateImage(HDC dc) override;
    void PaintForegroundImage(HDC dc) override;
    void PaintText(HDC dc) override;

protected:
    const ControlAttributes& Attributes() const override;
    // Refreshes the focused and disabled bits from the control (and the window's enabled state).
    void RefreshState();
    // Cuts a state strip into per-state descriptions; `targets` receives frames 1, 2, ... in turn.
    bool SplitStateStrip(ImageSlot& strip, int count, ImageSlot* const* targets,
                         size_t targetCount);
    uint32_t ButtonTextColor() const;
    int ButtonFont() const;

    unsigned m_buttonState = 0;
    ImageSlot m_normalImage;
    ImageSlot m_hotImage;
    ImageSlot m_pushedImage;
    ImageSlot m_focusedImage;
    ImageSlot m_disabledImage;
    ImageSlot m_hotForeImage;
    ImageSlot m_pushedForeImage;
    ImageSlot m_stateImage;
    int m_stateCount = 0;
    uint32_t m_hotBkColor = 0;
    uint32_t m_pushedBkColor = 0;
    uint32_t m_disabledBkColor = 0;
    uint32_t m_hotTextColor = 0;
    uint32_t m_pushedTextColor = 0;
    uint32_t m_focusedTextColor = 0;
    int m_hotFont = -1;
    int m_pushedFont = -1;
    int m_focusedFont = -1;
    int m_bindTabIndex = -1;
    std::wstring m_bindTabLayoutName;
};

}  // namespace tessel
