#pragma once

#include <windows.h>

#include "skin/WindowBase.h"

namespace tessel {

class CButtonUI;
class CControlUI;
class CHorizontalLayoutUI;
class CLabelUI;
class CTextUI;
class CVerticalLayoutUI;

// The product's skinned modal message box ("MessageBox.xml"): a caption, one line of text beside
// a warning icon, a close glyph and one button. It sizes itself to the text (never wrapping it),
// centres itself on its owner, beeps and blocks the caller until it is closed: with 5 from either
// button, with 1 from the system close command.
//
// Ownership: ShowMessage creates it; it deletes itself when its native window is gone.
class MessageBoxW : public CWindowBase {
public:
    // Shows a box owned by `owner` (disabled meanwhile; may be null) and returns the result it
    // was closed with. `text` and `caption` are display texts; a null caption shows nothing.
    static int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption);

    // Fills and sizes a created box.
    void SetMessage(const wchar_t* text, const wchar_t* caption);

    void OnClick(NotifyRecord& notification) override;
    virtual void OnWindowInit(NotifyRecord& notification);

    static const NotifyMap& ClassNotifyMap();

protected:
    ~MessageBoxW() override = default;

    std::wstring SkinFileName() const override { return L"MessageBox.xml"; }
    void OnWindowReady() override;
    const NotifyMap* GetNotifyMap() const override { return &ClassNotifyMap(); }

private:
    // The tree's controls; not owned, null until the skin is built.
    CLabelUI* m_caption = nullptr;
    CVerticalLayoutUI* m_content = nullptr;
    CHorizontalLayoutUI* m_buttonRow = nullptr;
    CHorizontalLayoutUI* m_header = nullptr;
    CButtonUI* m_close = nullptr;
    CButtonUI* m_button1 = nullptr;
    CTextUI* m_text = nullptr;
};

}  // namespace tessel
