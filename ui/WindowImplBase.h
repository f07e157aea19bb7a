#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/MarkupBuilder.h"
#include "ui/MessageFilter.h"
#include "ui/NotifyPump.h"
#include "ui/PaintManagerUI.h"
#include "ui/QueryControlText.h"
#include "ui/WindowWnd.h"

namespace tessel {

class CControlUI;

// The base of every skinned window: no native frame, a control tree built from a markup file when
// the window is created, message handlers to override, dragging by the caption band, border
// sizing, a rounded window region and the system buttons ("closebtn", "minbtn", "maxbtn",
// "restorebtn"). What it leaves unhandled goes to its paint manager, then to the default
// procedure.
//
// Ownership: owns its paint manager (and so the tree). It never deletes itself; whoever creates
// it decides (the system's own windows delete themselves in OnWindowDestroyed).
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
public:
    WindowImplBase() = default;
    ~WindowImplBase() override = default;

    CPaintManagerUI& GetPaintManager() { return m_pm; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Called once the window's paint manager is bound, before the skin is built: the place for
    // the window's own defaults (fonts, colours) that the markup may then replace.
    virtual void InitResources() {}
    // Called once the control tree is attached.
    virtual void OnWindowReady() {}
    virtual void OnClick(NotifyRecord& notification);
    // True when the window may be dragged by `control`: it and every ancestor are static
    // classes (labels, texts, plain controls, layouts).
    virtual bool IsCaptionControl(CControlUI* control) const;

    // INotifyUI: hands the notification to the message maps.
    void Notify(NotifyRecord& notification) override;
    // IMessageFilterUI, as the window's own pre-message filter: Return and Escape reach
    // OnDefaultKey, and go on to the focused control whatever it answers.
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    CControlUI* CreateCustomControl(std::wstring_view className) override;
    bool QueryText(std::wstring_view id, int type, std::wstring& text) override;

    // The message map of this class, the base of every derived map.
    static const NotifyMap& ClassNotifyMap();

protected:
    UINT WindowClassStyle() const override { return CS_DBLCLKS; }
    void OnWindowDestroyed(HWND window) override;
    const NotifyMap* GetNotifyMap() const override { return &ClassNotifyMap(); }

    // Empty: the markup is the skin file SkinFileName; otherwise SkinFileName is a resource
    // number of this type.
    virtual std::wstring SkinResourceType() const { return {}; }
    virtual std::wstring SkinFileName() const = 0;
    virtual const wchar_t* PaintManagerName() const { return nullptr; }
    virtual LRESULT OnDefaultKey(WPARAM key);
    // The style with the native caption taken out.
    virtual LONG_PTR WindowStyle() const;

    // Message handlers: each clears `handled` when it leaves the message to the next in line.
    virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Lets the default procedure carry out a system command other than close; when that changes
    // the maximised state, the two named buttons swap visibility (missing ones are skipped).
    LRESULT RunSystemCommand(UINT message, WPARAM wParam, LPARAM lParam,
                             std::wstring_view maximizeButton, std::wstring_view restoreButton);

    CPaintManagerUI m_pm;

private:
    // The failure box and the end of the process when the skin cannot be built.
    [[noreturn]] void FailToLoadSkin();
};

}  // namespace tessel
