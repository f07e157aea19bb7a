#pragma once

#include "ui/LabelUI.h"

namespace tessel {

class CEditWnd;

// A single-line edit box as painted by the tree: images per state, the text (or the tip text while
// empty, or password characters) inside the text padding. While focused the real editing happens
// in a native edit window (CEditWnd) placed over the control, made when the control takes the
// focus and gone when it loses it.
class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;

    std::wstring_view GetClass() const override { return L"EditUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;
    unsigned GetControlFlags() const override;
    void HandleEvent(EventRecord& event) override;
    void SetEnabled(bool enabled = true) override;
    // The typing window's font and place belong to the old scale: it closes (the text is the
    // control's already) and opens again on the next key or click.
    void OnDisplayScaleChanged() override;

    int GetMaxChar() const { return m_maxChar; }
    bool IsReadOnly() const { return m_readOnly; }
    bool IsPasswordMode() const { return m_password; }
    wchar_t GetPasswordChar() const { return m_passwordChar; }
    bool IsNumberOnly() const { return m_numberOnly; }
    bool IsAutoSelAll() const { return m_autoSelAll; }
    const std::wstring& GetTipValue() const { return m_tipValue; }
    uint32_t GetNativeTextColor() const { return m_nativeTextColor; }
    uint32_t GetNativeBkColor() const { return m_nativeBkColor; }
    bool IsHot() const { return m_hot; }
    // The native edit window while one is open (it owns itself).
    CEditWnd* GetNativeEdit() const { return m_nativeEdit; }
    void OnNativeEditClosed(CEditWnd* window);

    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;

protected:
    const ControlAttributes& Attributes() const override;
    // Creates the native edit window over the control; true when one exists afterwards.
    virtual bool CreateNativeEdit(bool selectAll);

    int m_maxChar = 255;
    bool m_readOnly = false;
    bool m_password = false;
    bool m_numberOnly = false;
    bool m_autoSelAll = false;
    bool m_hot = false;
    wchar_t m_passwordChar = L'*';
    ImageSlot m_normalImage;
    ImageSlot m_hotImage;
    ImageSlot m_focusedImage;
    ImageSlot m_disabledImage;
    std::wstring m_tipValue;
    uint32_t m_tipValueColor = 0xFFBAC0C5;
    uint32_t m_nativeTextColor = 0xFF000000;
    uint32_t m_nativeBkColor = 0xFFFFFFFF;
    CEditWnd* m_nativeEdit = nullptr;  // not owned; deletes itself with its window
};

}  // namespace tessel
