#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/AttributeTable.h"
#include "ui/Geometry.h"
#include "ui/ImageDescription.h"
#include "ui/LayoutMath.h"
#include "ui/UiEvents.h"

namespace tessel {

class CPaintManagerUI;
class CControlUI;

// The attribute table every control class's table ends in (see AttributeTable).
using ControlAttributes = AttributeTable<CControlUI>;

// Behaviour flags a control reports.
inline constexpr unsigned UIFLAG_TABSTOP = 1;
inline constexpr unsigned UIFLAG_SETCURSOR = 2;

// Tree search flags.
inline constexpr unsigned UIFIND_ALL = 0;
inline constexpr unsigned UIFIND_VISIBLE = 1;
inline constexpr unsigned UIFIND_ENABLED = 2;
inline constexpr unsigned UIFIND_HITTEST = 4;
inline constexpr unsigned UIFIND_UPDATETEST = 8;
inline constexpr unsigned UIFIND_TOP_FIRST = 0x10;
inline constexpr unsigned UIFIND_ME_FIRST = 0x80000000u;
using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

struct FloatPercent {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// One image of a control: its description text and the parsed form, parsed again only when the
// text, the modifier or the display scale changes.
class ImageSlot {
public:
    void Set(std::wstring_view description);
    const std::wstring& Text() const { return m_text; }
    bool IsEmpty() const { return m_text.empty(); }
    const ImageDrawSpec& Spec(std::wstring_view modifier, int scalePercent);

private:
    std::wstring m_text;
    ImageDrawSpec m_spec;
    bool m_parsed = false;
    int m_scale = 100;
};

// The base of every control and container. A control has a rectangle in client coordinates, size
// constraints the layouts read (already multiplied by the display scale), colours, images, a
// border, and paints itself in a fixed order. Ownership: a control belongs to its container (the
// root to the paint manager); m_manager and m_parent are not owned and outlive the control.
class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual std::wstring GetName() const { return m_name; }
    virtual void SetName(std::wstring_view name) { m_name = name; }
    virtual std::wstring_view GetClass() const { return L"ControlUI"; }
    virtual void* QueryInterfaceByName(std::wstring_view name);
    virtual unsigned GetControlFlags() const { return 0; }
    virtual bool Activate();
    CPaintManagerUI* GetManager() const { return m_manager; }
    // `init` runs Init once the control has a parent (the tree is being attached).
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    CControlUI* GetParent() const { return m_parent; }

    // The language-table text for resource-text controls, else the text as set.
    virtual std::wstring GetText() const;
    virtual void SetText(std::wstring_view text);
    bool IsResourceText() const { return m_resourceText; }
    void SetResourceText(bool resourceText);
    bool IsDragEnabled() const { return m_dragEnabled; }
    bool IsDropEnabled() const { return m_dropEnabled; }

    // ---- position (client coordinates, scaled pixels) ----
    const UiRect& GetPos() const { return m_rcItem; }
    virtual void SetPos(UiRect rc, bool needInvalidate = true);
    virtual void Move(UiSize offset, bool needInvalidate = true);
    int GetWidth() const { return m_rcItem.Width(); }
    int GetHeight() const { return m_rcItem.Height(); }

    // ---- size constraints: getters scaled, setters unscaled ----
    virtual UiRect GetPadding() const;
    virtual void SetPadding(UiRect padding);
    virtual UiSize GetFixedXY() const;
    virtual void SetFixedXY(UiSize xy);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int width);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int height);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int width);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int width);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int height);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int height);
    virtual FloatPercent GetFloatPercent() const { return m_floatPercent; }
    virtual void SetFloatPercent(FloatPercent percent);
    virtual void SetFloatAlign(unsigned align);
    virtual unsigned GetFloatAlign() const { return m_floatAlign; }

    // ---- tooltip, shortcut, cursor ----
    virtual std::wstring GetToolTip() const;
    virtual void SetToolTip(std::wstring_view text) { m_toolTip = text; }
    int GetToolTipWidth() const { return m_toolTipWidth; }
    void SetToolTipWidth(int width) { m_toolTipWidth = width; }
    wchar_t GetShortcut() const { return m_shortcut; }
    void SetShortcut(wchar_t c) { m_shortcut = c; }
    LPCWSTR GetCursor() const { return m_cursor; }
    bool IsContextMenuUsed() const { return m_contextMenuUsed; }
    const std::wstring& GetUserData() const { return m_userData; }
    // A number the window gives the control for its own use (a result code, say).
    uintptr_t GetTag() const { return m_tag; }
    void SetTag(uintptr_t tag) { m_tag = tag; }
    const std::wstring& GetVirtualWnd() const { return m_virtualWnd; }

    // ---- accessibility ----
    // What an accessibility client hears instead of what the class and text suggest (markup
    // "accessiblename", a language-table id for resource-text controls; "accessiblerole", see
    // ParseAccessibleRole). Empty when not set.
    std::wstring GetAccessibleName() const;
    const std::wstring& GetAccessibleRole() const { return m_accessibleRole; }
    // Corner radius of the focus ring around this control (markup "focusround", unscaled);
    // negative: the window's default.
    int GetFocusRound() const { return m_focusRound; }

    // ---- state ----
    virtual bool IsVisible() const { return m_visible && m_internVisible; }
    virtual void SetVisible(bool visible = true);
    // Visibility inherited from a hidden or shown ancestor (a tab page, say).
    virtual void SetInheritedVisible(bool visible = true);
    virtual bool IsEnabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const { return m_mouseEnabled; }
    virtual void SetMouseEnabled(bool enabled = true) { m_mouseEnabled = enabled; }
    virtual bool IsKeyboardEnabled() const { return m_keyboardEnabled; }
    virtual void SetKeyboardEnabled(bool enabled = true) { m_keyboardEnabled = enabled; }
    virtual bool IsFocused() const { return m_focused; }
    virtual void SetFocus();
    virtual bool IsFloat() const { return m_float; }
    virtual void SetFloat(bool isFloat = true);

    // Depth-first search; the first non-null answer of `proc` wins. Containers search children.
    virtual CControlUI* FindControl(FindControlProc proc, void* data, unsigned flags);

    // ---- updates ----
    void Invalidate();
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    // Flags this control for placement at the next paint and asks the manager for one.
    void RequestLayout();
    void RequestParentLayout();

    virtual void Init();
    virtual void OnInit() {}

    // ---- events and notifications ----
    // The control's event listeners run first and may swallow the event; then HandleEvent.
    void Event(EventRecord& event);
    virtual void HandleEvent(EventRecord& event);
    using EventListener = std::function<bool(EventRecord&)>;  // false swallows the event
    using NotifyListener = std::function<void(NotifyRecord&)>;
    void AddEventListener(EventListener listener) {
        m_eventListeners.push_back(std::move(listener));
    }
    void AddNotifyListener(NotifyListener listener) {
        m_notifyListeners.push_back(std::move(listener));
    }
    void NotifyListeners(NotifyRecord& notification);

    // ---- attributes ----
    // A value that names a style applies the style's list instead, whatever the attribute. Names
    // no class's table knows are kept as custom attributes (GetCustomAttribute).
    virtual void SetAttribute(std::wstring_view name, std::wstring_view value);
    void ApplyAttributeList(std::wstring_view list);
    std::wstring GetCustomAttribute(std::wstring_view name) const;

    // The size this control wishes within `available`; 0 in a direction means "stretch me".
    virtual UiSize MeasureSize(UiSize available);
    // The window moved to another display scale: whatever was measured or made in pixels of the
    // old scale is forgotten (the paint manager places the whole tree again next).
    virtual void OnDisplayScaleChanged() {}

    // ---- painting ----
    // Paints this control (and a container its children) where it meets `paint`. Returns false
    // once `stop` was reached, which ends a partial paint.
    virtual bool Paint(HDC dc, const UiRect& paint, CControlUI* stop);
    virtual bool PaintTree(HDC dc, const UiRect& paint, CControlUI* stop);
    virtual void PaintBackColor(HDC dc);
    virtual void PaintBackImage(HDC dc);
    virtual void PaintStateImage(HDC dc);
    virtual void PaintForegroundColor(HDC dc);
    virtual void PaintForegroundImage(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    virtual void PaintAfter(HDC dc, const UiRect& paint);

    // ---- colours and images ----
    uint32_t GetBkColor() const { return m_bkColor; }
    void SetBkColor(uint32_t color);
    void SetBkColor2(uint32_t color);
    void SetBkColor3(uint32_t color);
    uint32_t GetForeColor() const { return m_foreColor; }
    void SetForeColor(uint32_t color);
    uint32_t GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(uint32_t color);
    void SetFocusBorderColor(uint32_t color);
    void SetBorderSize(int size);
    void SetBorderSize(UiRect sides);
    void SetBorderRound(UiSize round);
    const std::wstring& GetBkImage() const { return m_bkImage.Text(); }
    void SetBkImage(std::wstring_view description);
    const std::wstring& GetForeImage() const { return m_foreImage.Text(); }
    void SetForeImage(std::wstring_view description);

    // Draws one image description over this control's rectangle; false when the image is missing.
    bool DrawImage(HDC dc, ImageSlot& image, std::wstring_view modifier = {});

protected:
    // The attributes of this class, ending in CControlUI's. A class with attributes of its own
    // overrides this with a table whose base is its parent class's (see ControlUI.cpp).
    virtual const ControlAttributes& Attributes() const;
    // The attribute itself, after style expansion: the setter the class's table has for `name`,
    // else a custom attribute.
    void ApplyAttribute(std::wstring_view name, std::wstring_view value);

    // A mouse event for a control that does not take the mouse belongs to its parent; true when
    // the event was such a one (passed on, or dropped at the root).
    bool PassMouseEventToParent(EventRecord& event);
    int ScaleLength(int value) const;
    UiRect ScaleRect(const UiRect& r) const;
    // Current paint rectangle of the running Paint (client coordinates).
    const UiRect& PaintRect() const { return m_rcPaint; }

    CPaintManagerUI* m_manager = nullptr;  // not owned
    CControlUI* m_parent = nullptr;        // not owned; owns this control
    std::wstring m_name;
    std::wstring m_text;
    std::wstring m_toolTip;
    std::wstring m_userData;
    uintptr_t m_tag = 0;
    std::wstring m_virtualWnd;
    std::wstring m_accessibleName;
    std::wstring m_accessibleRole;
    int m_focusRound = -1;
    UiRect m_rcItem;
    UiRect m_rcPaint;
    UiRect m_padding;
    UiSize m_fixedXY;
    UiSize m_fixedSize;
    UiSize m_minSize;
    UiSize m_maxSize{9999, 9999};
    bool m_float = false;
    FloatPercent m_floatPercent;
    unsigned m_floatAlign = 0;
    bool m_visible = true;
    bool m_internVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_updateNeeded = true;
    bool m_contextMenuUsed = false;
    bool m_resourceText = false;
    bool m_dragEnabled = false;
    bool m_dropEnabled = false;
    bool m_colorHsl = false;
    bool m_initialized = false;
    int m_toolTipWidth = 300;
    wchar_t m_shortcut = 0;
    LPCWSTR m_cursor = nullptr;  // a system cursor id; null = arrow
    bool m_verticalGradient = true;
    uint32_t m_bkColor = 0;
    uint32_t m_bkColor2 = 0;
    uint32_t m_bkColor3 = 0;
    uint32_t m_foreColor = 0;
    uint32_t m_borderColor = 0;
    uint32_t m_focusBorderColor = 0;
    int m_borderSize = 0;
    UiRect m_borderSides;
    int m_borderStyle = PS_SOLID;
    UiSize m_borderRound;
    ImageSlot m_bkImage;
    ImageSlot m_foreImage;
    std::unordered_map<std::wstring, std::wstring> m_customAttributes;
    std::vector<EventListener> m_eventListeners;
    std::vector<NotifyListener> m_notifyListeners;

private:
    void SetAttributeExpandingStyles(std::wstring_view name, std::wstring_view value, int depth);
    // Every size constraint's setter: markup lengths are unscaled, a negative one is ignored, and
    // a change asks the parent (which places this control) for a new layout.
    void SetSizeConstraint(int& constraint, int value);
    void SetBorderSide(int UiRect::*side, int size);
    // Style lists may name styles; a style naming itself must not recurse without end.
    static constexpr int kMaxStyleDepth = 8;
};

// `control` seen through one of its interface names (such as L"Button"): null when it is null or
// does not answer that name.
template <typename T>
T* ControlAs(CControlUI* control, std::wstring_view interfaceName) {
    return control != nullptr ? static_cast<T*>(control->QueryInterfaceByName(interfaceName))
                              : nullptr;
}

// The name of a notification's sender; empty when it has none.
inline std::wstring SenderName(const NotifyRecord& notification) {
    return notification.sender != nullptr ? notification.sender->GetName() : std::wstring();
}

// Resolves the text of resource-text controls (the language table plugs in here). Without a
// resolver the id itself is shown.
using ResourceTextResolver = std::wstring (*)(std::wstring_view id);
void SetResourceTextResolver(ResourceTextResolver resolver);
std::wstring ResolveResourceText(std::wstring_view id);

}  // namespace tessel
