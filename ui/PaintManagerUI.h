#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/DisplayScale.h"
#include "ui/FocusChain.h"
#include "ui/FocusIndication.h"
#include "ui/GdiHandles.h"
#include "ui/Geometry.h"
#include "ui/MessageFilter.h"
#include "ui/NotificationQueue.h"
#include "ui/ResourceCache.h"
#include "ui/TimerTable.h"
#include "ui/UiEvents.h"
#include "ui/UserHandles.h"
#include "ui/WindowAccessibility.h"

namespace Gdiplus {
class Font;
}

namespace tessel {

class CControlUI;
struct SurfaceDc;

// Window-level attributes read from the markup's `Window` element. The window host and the
// message dispatch act on them; this class only keeps them.
struct WindowAttributes {
    UiSize initialSize;
    UiRect sizeBox;
    UiRect caption;
    UiSize roundCorner;
    UiSize minInfo;
    UiSize maxInfo;
    bool showUpdateRect = false;
    int opacity = 255;
    int layeredOpacity = 255;
    std::wstring layeredImage;
    bool noActivate = false;
    bool gdiplusText = false;
    int textRenderingHint = 0;
    int hoverTime = 400;
    uint32_t focusColor = 0;  // the focus ring's; 0: the framework's
    int focusRound = -1;      // the focus ring's corner radius, unscaled; negative: the framework's
    std::unordered_map<std::wstring, std::wstring> custom;
};

// One skinned window's coordinator: it binds the window, owns the control tree and hands each
// job to a part of its own. Each skinned window owns one paint manager.
//
//   ResourceCache      images, fonts, styles, class defaults, default colours (window + shared)
//   FocusChain         the focused control, Tab order, focus once the tree is placed
//   NotificationQueue  notifiers, queued notifications, removed controls awaiting deletion
//   TimerTable         control timers over the window's system timers
//   FocusIndication    focus cues and the focus ring
//   WindowAccessibility  the accessibility object, child ids, events, default actions
//
// What stays here: the tree and its names, option groups, window messages with mouse and keyboard
// routing and tooltips (PaintManagerDispatch.cpp), the layout-then-paint cycle with the layered
// mode (PaintManagerPaint.cpp), and the message loop.
//
// Ownership: the manager owns the attached root control (and so the tree) and its parts. Controls
// hold raw pointers back to it; it outlives the tree. Everything runs on the window's thread.
class CPaintManagerUI : private ISystemTimers {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // ---- process-wide ----
    static void SetResourceInstance(HINSTANCE instance) {
        ResourceCache::SetResourceModule(instance);
    }
    static HINSTANCE GetResourceInstance() { return ResourceCache::ResourceModule(); }
    // Loads and initialises the common controls (the tooltip class) the first time a window needs
    // them; false when they are not available. Deferred to first use: loading them costs a
    // program's start a good part of its time under some systems.
    static bool StartCommonControls();

    // ---- binding ----
    // Clears the window's own tables (not the shared ones), its option groups and its named
    // controls, and binds the manager to `window` (null keeps it windowless, as tests use it).
    // A bound manager joins the process-wide list that TranslateMessage walks.
    void Init(HWND window, const wchar_t* name = nullptr);
    HWND GetPaintWindow() const { return m_window; }
    const std::wstring& GetName() const { return m_name; }
    // The window's DC when bound, else a memory DC kept for measuring text.
    HDC GetPaintDC();

    // ---- images ----
    const ImageRecord* GetImage(std::wstring_view name) const { return m_resources.GetImage(name); }
    const ImageRecord* LookUpImage(std::wstring_view name, std::wstring_view type, uint32_t mask,
                                   bool hsl) {
        return m_resources.LookUpImage(name, type, mask, hsl);
    }
    const ImageRecord* AddImage(std::wstring_view name, std::wstring_view type, uint32_t mask,
                                bool hsl, bool shared) {
        return m_resources.AddImage(name, type, mask, hsl, shared);
    }
    // The file that best draws image `name` at this window's display scale, and its scale.
    ScaledImage LookUpImageForScale(std::wstring_view name, std::wstring_view type, uint32_t mask,
                                    bool hsl) {
        return m_resources.LookUpImageForScale(name, type, mask, hsl);
    }
    const ImageRecord* FindResizedImage(std::wstring_view name, const UiRect& writtenSource) {
        return m_resources.FindResized(name, writtenSource);
    }
    const ImageRecord* ResizeImage(std::wstring_view name, const UiRect& writtenSource,
                                   const ScaledImage& found, const UiRect& from, UiSize to) {
        return m_resources.Resize(name, writtenSource, found, from, to);
    }

    // ---- fonts ----
    HFONT AddFont(int id, std::wstring_view face, int size, bool bold, bool underline, bool italic,
                  bool shared);
    // The font record of `id` (window, then shared), else the default font; negative = default.
    const FontRecord& LookUpFont(int id) { return m_resources.LookUpFont(id); }
    HFONT GetFont(int id) { return LookUpFont(id).font.Get(); }
    // The GDI+ twin of font `id` (as LookUpFont resolves it), made from `dc` on first use.
    Gdiplus::Font* GetGdiplusFont(int id, HDC dc) { return m_resources.GetGdiplusFont(id, dc); }
    void SetDefaultFont(std::wstring_view face, int size, bool bold, bool underline, bool italic,
                        bool shared);
    const FontRecord& GetDefaultFontInfo() const { return m_resources.GetDefaultFont(); }

    // ---- styles and class defaults ----
    // The first definition of a name wins; returns false when it was discarded.
    bool AddStyle(std::wstring_view name, std::wstring_view list, bool shared) {
        return m_resources.AddStyle(name, list, shared);
    }
    std::optional<std::wstring_view> GetStyle(std::wstring_view name) const {
        return m_resources.GetStyle(name);
    }
    void AddClassDefaults(std::wstring_view className, std::wstring_view list, bool shared) {
        m_resources.AddClassDefaults(className, list, shared);
    }
    std::optional<std::wstring_view> GetClassDefaults(std::wstring_view className) const {
        return m_resources.GetClassDefaults(className);
    }

    // ---- default colours ----
    // A shared setter also moves this window's value when it still equals the old shared one.
    void SetDefaultDisabledColor(uint32_t color, bool shared) {
        m_resources.SetDefaultColor(&DefaultColors::disabledText, color, shared);
    }
    void SetDefaultFontColor(uint32_t color, bool shared) {
        m_resources.SetDefaultColor(&DefaultColors::text, color, shared);
    }
    void SetDefaultLinkFontColor(uint32_t color, bool shared) {
        m_resources.SetDefaultColor(&DefaultColors::link, color, shared);
    }
    void SetDefaultLinkHoverFontColor(uint32_t color, bool shared) {
        m_resources.SetDefaultColor(&DefaultColors::linkHover, color, shared);
    }
    void SetDefaultSelectedBkColor(uint32_t color, bool shared) {
        m_resources.SetDefaultColor(&DefaultColors::selectedBackground, color, shared);
    }
    uint32_t GetDefaultDisabledColor() const { return m_resources.Colors().disabledText; }
    uint32_t GetDefaultFontColor() const { return m_resources.Colors().text; }
    uint32_t GetDefaultLinkFontColor() const { return m_resources.Colors().link; }
    uint32_t GetDefaultLinkHoverFontColor() const { return m_resources.Colors().linkHover; }
    uint32_t GetDefaultSelectedBkColor() const { return m_resources.Colors().selectedBackground; }

    // ---- scale, modes and window attributes ----
    const DisplayScale& GetDisplayScale() const { return m_scale; }
    // Moves the window to another display scale: fonts are made again, every control forgets
    // what it measured, and the whole tree is placed and painted again. Init takes the scale of
    // the window's monitor; WM_DPICHANGED moves it.
    void SetDisplayScale(int percent);
    int Scale(int value) const { return m_scale.Scale(value); }
    void SetForceUseSharedRes(bool force) { m_resources.SetForceShared(force); }
    bool IsForceUseSharedRes() const { return m_resources.IsForceShared(); }
    bool IsLayered() const { return m_layered; }
    // Stays off when the system cannot update layered windows.
    void SetLayered(bool layered);
    bool IsUseGdiplusText() const { return m_windowAttributes.gdiplusText; }
    WindowAttributes& GetWindowAttributes() { return m_windowAttributes; }
    const WindowAttributes& GetWindowAttributes() const { return m_windowAttributes; }

    // ---- the tree ----
    // Takes ownership of `root`; binds the tree to this manager and fills the name table.
    void AttachRoot(CControlUI* root);
    CControlUI* GetRoot() const { return m_root.get(); }
    // Gives `control` and its subtree this manager and their parents; names join the table.
    void BindControlTree(CControlUI* control, CControlUI* parent);
    void RegisterControlName(CControlUI* control);
    // Forgets a control that is being deleted: name, focus, hover and group entries.
    void ForgetControl(CControlUI* control);
    CControlUI* FindControl(std::wstring_view name) const;
    // Takes ownership; the control is deleted by the next notification drain, never while its own
    // events may still be on the stack.
    void AddDelayedCleanup(CControlUI* control);
    // Topmost visible, mouse-enabled control at `point` (client coordinates).
    CControlUI* FindControl(UiPoint point) const;
    // The window is going away: every reference to the root (targets, timers, name, queued
    // notifications) is dropped. The tree itself stays.
    void ForgetRoot();

    // ---- option groups ----
    void AddOptionGroup(std::wstring_view group, CControlUI* control);
    const std::vector<CControlUI*>* GetOptionGroup(std::wstring_view group) const;
    void RemoveOptionGroup(std::wstring_view group, CControlUI* control);

    // ---- updates and painting requests ----
    void NeedUpdate() { m_updateNeeded = true; }
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void ClearUpdateNeeded() { m_updateNeeded = false; }
    // Marks the whole tree for placement at the next paint.
    void RequestLayout();
    void Invalidate(const UiRect& rect);
    // Pixels left transparent around the root of a layered window (unscaled, as markup lengths).
    void SetLayeredInset(const UiRect& inset);
    const UiRect& GetLayeredInset() const { return m_layeredInset; }

    // ---- window messages ----
    // The window passes what it does not handle itself; true means handled with `result`.
    bool HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A queued message before dispatch: Tab navigation, Alt shortcuts and the early filters.
    bool PreHandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool TranslateAccelerator(MSG& message);
    // Offers a queued message to the managers of its window and that window's ancestors; true
    // when one consumed it.
    static bool TranslateMessage(MSG& message);
    // The manager bound to `window`; null when none is.
    static CPaintManagerUI* ManagerOf(HWND window);
    // GetMessage until WM_QUIT, with TranslateMessage before each dispatch.
    static void MessageLoop();

    // Filters are not owned; whoever adds one removes it before it dies.
    void AddEarlyMessageFilter(IMessageFilterUI* filter);
    void RemoveEarlyMessageFilter(IMessageFilterUI* filter);
    void AddMessageFilter(IMessageFilterUI* filter);
    void RemoveMessageFilter(IMessageFilterUI* filter);
    void AddAcceleratorTranslator(ITranslateAccelerator* translator);
    void RemoveAcceleratorTranslator(ITranslateAccelerator* translator);
    // Controls told EVT_MOUSELEAVE whenever the hovered control changes.
    void AddMouseLeaveNeeded(CControlUI* control);
    void RemoveMouseLeaveNeeded(CControlUI* control);
    // Controls painted after the tree, in order.
    void AddPostPaint(CControlUI* control);
    void RemovePostPaint(CControlUI* control);
    // Native child windows printed into a layered window's frame at their control's place.
    void AddNativeWindow(CControlUI* control, HWND window);
    void RemoveNativeWindow(HWND window);

    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_captured; }
    CControlUI* GetHover() const { return m_hover; }

    // ---- timers ----
    // A killed timer of the same (control, id) restarts under its old system id; a live one makes
    // the call fail.
    bool SetTimer(CControlUI* control, UINT timerId, UINT elapse);
    bool KillTimer(CControlUI* control, UINT timerId) { return m_timers.Kill(control, timerId); }
    void KillTimer(CControlUI* control) { m_timers.RemoveAllOf(control); }
    void RemoveAllTimers() { m_timers.RemoveAll(); }

    // ---- focus ----
    CControlUI* GetFocus() const { return m_focus.Focused(); }
    void SetFocus(CControlUI* control) { m_focus.SetFocus(control); }
    // While a layout is pending, moving forward only marks focus as needed; the paint cycle
    // repeats the move once the tree has been placed.
    void MoveFocusToNext(bool forward = true) {
        m_focus.MoveToNext(forward ? TabDirection::Forward : TabDirection::Backward);
    }
    bool IsFocusNeeded() const { return m_focus.IsFocusNeeded(); }
    // Tab and Shift+Tab: moves the focus and shows the focus cues from now on.
    void MoveFocusByKeyboard(TabDirection direction);
    bool AreFocusCuesShown() const { return m_focusIndication.IsShown(); }
    // Told by the focus chain after the focus moved to `now` (null: to no control).
    void OnFocusMoved(CControlUI* now);

    // ---- accessibility ----
    WindowAccessibility& GetAccessibility() { return m_accessibility; }
    void RaiseAccessibleEvent(AccessibleEvent event, CControlUI* control) {
        m_accessibility.Raise(event, control);
    }

    // ---- notifications ----
    void AddNotifier(INotifyUI* notifier) { m_notifications.AddNotifier(notifier); }
    void RemoveNotifier(INotifyUI* notifier) { m_notifications.RemoveNotifier(notifier); }
    void SendNotification(CControlUI* control, std::wstring_view type, uintptr_t wParam = 0,
                          intptr_t lParam = 0, bool async = false);
    // Stamps the mouse position and time, then delivers now or at the next drain.
    void SendNotification(NotifyRecord& notification, bool async = false);
    // Deletes the delayed clean-up controls and delivers the queued notifications in order.
    void DrainNotificationQueue() { m_notifications.Drain(); }
    UiPoint GetMousePos() const { return m_lastMouse; }

private:
    // Posted to the window to drain the notification queue.
    static constexpr UINT kDrainMessage = WM_APP + 1;

    // ---- ISystemTimers: the timer table's system timers are this window's ----
    bool StartSystemTimer(unsigned systemId, unsigned elapseMs) override;
    void StopSystemTimer(unsigned systemId) override;
    void OnTimer(WPARAM systemId);

    // ---- dispatch (PaintManagerDispatch.cpp), one handler per message group ----
    void SendEvent(CControlUI* control, int kind, WPARAM wParam = 0, LPARAM lParam = 0,
                   wchar_t key = 0, uint16_t keyState = 0);
    void TrackMousePosition(UINT message, LPARAM lParam);
    bool HandleLayeredFrameMessage(UINT message, WPARAM wParam, LRESULT& result);
    bool HandlePaintMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleWindowStateMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool ReflectToNativeChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ApplyTrackSizeLimits(MINMAXINFO& info) const;
    void OnDpiChanged(unsigned dpi, const RECT* suggested);
    void OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UiPoint point, WPARAM wParam, LPARAM lParam);
    void OnMouseHover(UiPoint point, WPARAM wParam, LPARAM lParam);
    void OnMouseLeaveMessage();
    void ShowToolTip(CControlUI* control);
    void HideToolTip();
    CControlUI* OwnControlAt(UiPoint point) const;
    void OnClose();
    // ---- the paint cycle (PaintManagerPaint.cpp) ----
    void OnPaint();
    bool LayoutPass();
    void PaintTreeInto(HDC dc, const UiRect& area, bool layered);
    void PaintNativeChildren(HDC dc, const UiRect& area);
    void PrintClient(HDC dc, LPARAM flags);
    bool PresentLayered(HDC sourceDc, const UiRect& dirty);
    static std::vector<CPaintManagerUI*>& Managers();

    HWND m_window = nullptr;
    std::wstring m_name;
    WindowDc m_windowDc;
    UniqueMemoryDc m_measureDc;
    DisplayScale m_scale;
    ResourceCache m_resources{m_scale};
    bool m_layered = false;
    bool m_updateNeeded = false;
    bool m_firstLayout = true;
    bool m_mouseTracking = false;
    bool m_captured = false;
    WindowAttributes m_windowAttributes;
    UiRect m_layeredInset;
    UiRect m_layeredUpdate;       // invalidated since the last layered frame
    bool m_layeredShown = false;  // a complete frame is on screen at m_layeredShownAt
    UiPoint m_layeredShownAt;
    std::unique_ptr<SurfaceDc> m_offscreen;
    UniqueWindow m_toolTip;
    bool m_toolAdded = false;
    std::vector<IMessageFilterUI*> m_earlyFilters;      // not owned
    std::vector<IMessageFilterUI*> m_messageFilters;    // not owned
    std::vector<ITranslateAccelerator*> m_translators;  // not owned
    std::vector<CControlUI*> m_mouseLeaveNeeded;        // not owned; controls of this tree
    std::vector<CControlUI*> m_postPaint;               // not owned; controls of this tree
    struct NativeWindow {
        CControlUI* control;  // not owned
        HWND window;          // not owned; the control's native child
    };
    std::vector<NativeWindow> m_nativeWindows;

    std::unordered_map<std::wstring, CControlUI*> m_namedControls;
    std::unordered_map<std::wstring, std::vector<CControlUI*>> m_optionGroups;
    CControlUI* m_hover = nullptr;      // not owned; a control of this tree
    CControlUI* m_click = nullptr;      // not owned; a control of this tree
    CControlUI* m_keyTarget = nullptr;  // not owned; a control of this tree
    UiPoint m_lastMouse;
    // The parts below reach back into this manager and its tree: they outlive the tree (declared
    // before m_root), and the destructor empties them before any member goes.
    TimerTable m_timers{*this};
    FocusChain m_focus{*this};
    FocusIndication m_focusIndication{*this};
    WindowAccessibility m_accessibility{*this};
    NotificationQueue m_notifications;
    std::unique_ptr<CControlUI> m_root;  // destroyed first: controls may call back while dying
};

}  // namespace tessel
