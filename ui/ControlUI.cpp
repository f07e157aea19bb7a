#include "ui/ControlUI.h"

#include <algorithm>

#include "ui/AttributeText.h"
#include "ui/GdiHandles.h"
#include "ui/PaintManagerUI.h"
#include "ui/RenderEngine.h"

namespace tessel {
namespace {

ResourceTextResolver g_textResolver = nullptr;

struct CursorName {
    std::wstring_view name;
    LPCWSTR id;
};
const CursorName kCursors[] = {
    {L"arrow", IDC_ARROW},   {L"ibeam", IDC_IBEAM},       {L"wait", IDC_WAIT},
    {L"cross", IDC_CROSS},   {L"uparrow", IDC_UPARROW},   {L"size", IDC_SIZE},
    {L"icon", IDC_ICON},     {L"sizenwse", IDC_SIZENWSE}, {L"sizenesw", IDC_SIZENESW},
    {L"sizewe", IDC_SIZEWE}, {L"sizens", IDC_SIZENS},     {L"sizeall", IDC_SIZEALL},
    {L"no", IDC_NO},         {L"hand", IDC_HAND},
};

// The words of "floatalign", each moving its own axis's bits.
struct FloatAlignWord {
    std::wstring_view word;
    unsigned clear;
    unsigned set;
};
constexpr FloatAlignWord kFloatAlignWords[] = {
    {L"null", ~0u, 0},
    {L"left", FLOAT_ALIGN_CENTER | FLOAT_ALIGN_RIGHT, 0},
    {L"center", FLOAT_ALIGN_RIGHT, FLOAT_ALIGN_CENTER},
    {L"right", FLOAT_ALIGN_CENTER, FLOAT_ALIGN_RIGHT},
    {L"top", FLOAT_ALIGN_VCENTER | FLOAT_ALIGN_BOTTOM, 0},
    {L"vcenter", FLOAT_ALIGN_BOTTOM, FLOAT_ALIGN_VCENTER},
    {L"bottom", FLOAT_ALIGN_VCENTER, FLOAT_ALIGN_BOTTOM},
};

// "floatalign": the words of `value` (separated by commas or blanks) applied to `align` in order.
unsigned ParseFloatAlign(std::wstring_view value, unsigned align) {
    size_t pos = 0;
    while (pos <= value.size()) {
        const size_t end = std::min(value.find_first_of(L", \t", pos), value.size());
        const std::wstring_view word = value.substr(pos, end - pos);
        for (const FloatAlignWord& known : kFloatAlignWords) {
            if (word == known.word) {
                align = (align & ~known.clear) | known.set;
            }
        }
        pos = end + 1;
    }
    return align;
}

// The system cursor `name` stands for; an unknown name keeps `current`.
LPCWSTR CursorNamed(std::wstring_view name, LPCWSTR current) {
    for (const CursorName& cursor : kCursors) {
        if (EqualsNoCase(name, cursor.name)) {
            return cursor.id;
        }
    }
    return current;
}

// "pos": left, top, right, bottom; a negative left or top gives way to the right or bottom edge.
void ApplyPos(CControlUI& control, const UiRect& r) {
    const int x = r.left >= 0 ? r.left : r.right;
    const int y = r.top >= 0 ? r.top : r.bottom;
    control.SetFixedXY({x, y});
    control.SetFixedWidth(r.right - r.left);
    control.SetFixedHeight(r.bottom - r.top);
}

// "float": a boolean, or four fractions of the parent that also make the control float.
void ApplyFloat(CControlUI& control, std::wstring_view value) {
    if (value.find(L',') == std::wstring_view::npos) {
        control.SetFloat(ParseBool(value));
        return;
    }
    const auto v = ParseRealList(value);
    control.SetFloatPercent({v[0], v[1], v[2], v[3]});
    control.SetFloat(true);
}

void ApplyInnerStyle(CControlUI& control, std::wstring_view styleName) {
    if (CPaintManagerUI* manager = control.GetManager()) {
        if (const auto style = manager->GetStyle(styleName)) {
            control.ApplyAttributeList(std::wstring(*style));
        }
    }
}

}  // namespace

void SetResourceTextResolver(ResourceTextResolver resolver) {
    g_textResolver = resolver;
}

std::wstring ResolveResourceText(std::wstring_view id) {
    return g_textResolver != nullptr ? g_textResolver(id) : std::wstring(id);
}

// ---- ImageSlot ----------------------------------------------------------------------------

void ImageSlot::Set(std::wstring_view description) {
    if (m_text != description) {
        m_text = description;
        m_parsed = false;
    }
}

const ImageDrawSpec& ImageSlot::Spec(std::wstring_view modifier, int scalePercent) {
    if (!m_parsed || m_spec.modifier != modifier || m_scale != scalePercent) {
        m_spec.Parse(m_text, modifier, scalePercent);
        m_scale = scalePercent;
        m_parsed = true;
    }
    return m_spec;
}

// ---- CControlUI ---------------------------------------------------------------------------

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (m_manager != nullptr) {
        m_manager->ForgetControl(this);
    }
}

void* CControlUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"Control" ? this : nullptr;
}

bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    m_manager = manager;
    m_parent = parent;
    if (init && parent != nullptr) {
        Init();
    }
}

std::wstring CControlUI::GetText() const {
    return m_resourceText ? ResolveResourceText(m_text) : m_text;
}

void CControlUI::SetText(std::wstring_view text) {
    std::wstring expanded = ExpandLineBreaks(text);
    if (m_text == expanded) {
        return;
    }
    m_text = std::move(expanded);
    Invalidate();
    if (m_manager != nullptr) {
        m_manager->RaiseAccessibleEvent(AccessibleEvent::TextChange, this);
    }
}

void CControlUI::SetResourceText(bool resourceText) {
    if (m_resourceText != resourceText) {
        m_resourceText = resourceText;
        Invalidate();
    }
}

std::wstring CControlUI::GetAccessibleName() const {
    return m_resourceText && !m_accessibleName.empty() ? ResolveResourceText(m_accessibleName)
                                                       : m_accessibleName;
}

std::wstring CControlUI::GetToolTip() const {
    return m_resourceText ? ResolveResourceText(m_toolTip) : m_toolTip;
}

int CControlUI::ScaleLength(int value) const {
    return m_manager != nullptr ? m_manager->Scale(value) : value;
}

UiRect CControlUI::ScaleRect(const UiRect& r) const {
    return m_manager != nullptr ? m_manager->GetDisplayScale().Scale(r) : r;
}

// ---- position -----------------------------------------------------------------------------

void CControlUI::SetPos(UiRect rc, bool needInvalidate) {
    rc.right = std::max(rc.right, rc.left);
    rc.bottom = std::max(rc.bottom, rc.top);
    const UiRect old = m_rcItem;
    m_rcItem = rc;
    m_updateNeeded = false;
    if (m_manager == nullptr || !needInvalidate || !IsVisible()) {
        return;
    }
    // Both where the control was and where it is now need painting.
    UiRect dirty{std::min(old.left, rc.left), std::min(old.top, rc.top),
                 std::max(old.right, rc.right), std::max(old.bottom, rc.bottom)};
    if (old.IsEmpty()) {
        dirty = rc;
    }
    for (CControlUI* p = m_parent; p != nullptr && !dirty.IsEmpty(); p = p->m_parent) {
        dirty = dirty.Intersect(p->GetPos());
    }
    if (!dirty.IsEmpty()) {
        m_manager->Invalidate(dirty);
    }
}

void CControlUI::Move(UiSize offset, bool needInvalidate) {
    m_rcItem = m_rcItem.Offset(offset.cx, offset.cy);
    if (needInvalidate) {
        Invalidate();
    }
}

// ---- size constraints ---------------------------------------------------------------------

UiRect CControlUI::GetPadding() const {
    return ScaleRect(m_padding);
}
void CControlUI::SetPadding(UiRect padding) {
    m_padding = padding;
    RequestParentLayout();
}
UiSize CControlUI::GetFixedXY() const {
    return {ScaleLength(m_fixedXY.cx), ScaleLength(m_fixedXY.cy)};
}
void CControlUI::SetFixedXY(UiSize xy) {
    m_fixedXY = xy;
    if (!m_float) {
        RequestParentLayout();
    } else {
        RequestLayout();
    }
}
int CControlUI::GetFixedWidth() const {
    return ScaleLength(m_fixedSize.cx);
}
void CControlUI::SetFixedWidth(int width) {
    SetSizeConstraint(m_fixedSize.cx, width);
}
int CControlUI::GetFixedHeight() const {
    return ScaleLength(m_fixedSize.cy);
}
void CControlUI::SetFixedHeight(int height) {
    SetSizeConstraint(m_fixedSize.cy, height);
}
int CControlUI::GetMinWidth() const {
    return ScaleLength(m_minSize.cx);
}
void CControlUI::SetMinWidth(int width) {
    SetSizeConstraint(m_minSize.cx, width);
}
int CControlUI::GetMaxWidth() const {
    return ScaleLength(m_maxSize.cx);
}
void CControlUI::SetMaxWidth(int width) {
    SetSizeConstraint(m_maxSize.cx, width);
}
int CControlUI::GetMinHeight() const {
    return ScaleLength(m_minSize.cy);
}
void CControlUI::SetMinHeight(int height) {
    SetSizeConstraint(m_minSize.cy, height);
}
int CControlUI::GetMaxHeight() const {
    return ScaleLength(m_maxSize.cy);
}
void CControlUI::SetMaxHeight(int height) {
    SetSizeConstraint(m_maxSize.cy, height);
}
void CControlUI::SetSizeConstraint(int& constraint, int value) {
    if (value < 0 || constraint == value) {
        return;
    }
    constraint = value;
    RequestParentLayout();
}
void CControlUI::SetFloatPercent(FloatPercent percent) {
    m_floatPercent = percent;
    RequestParentLayout();
}
void CControlUI::SetFloatAlign(unsigned align) {
    m_floatAlign = align;
    RequestParentLayout();
}

// ---- state --------------------------------------------------------------------------------

void CControlUI::SetVisible(bool visible) {
    if (m_visible == visible) {
        return;
    }
    const bool wasVisible = IsVisible();
    m_visible = visible;
    if (m_focused && !visible && m_manager != nullptr) {
        m_manager->SetFocus(nullptr);
    }
    if (IsVisible() != wasVisible) {
        RequestParentLayout();
        if (m_manager != nullptr) {
            m_manager->RaiseAccessibleEvent(
                IsVisible() ? AccessibleEvent::Shown : AccessibleEvent::Hidden, this);
        }
    }
}

void CControlUI::SetInheritedVisible(bool visible) {
    m_internVisible = visible;
    if (!visible && m_focused && m_manager != nullptr && m_manager->GetFocus() == this) {
        m_manager->SetFocus(nullptr);
    }
}

void CControlUI::SetEnabled(bool enabled) {
    if (m_enabled == enabled) {
        return;
    }
    m_enabled = enabled;
    Invalidate();
    if (m_manager != nullptr) {
        m_manager->RaiseAccessibleEvent(AccessibleEvent::StateChange, this);
    }
}

void CControlUI::SetFocus() {
    if (m_manager != nullptr) {
        m_manager->SetFocus(this);
    }
}

void CControlUI::SetFloat(bool isFloat) {
    if (m_float == isFloat) {
        return;
    }
    m_float = isFloat;
    RequestParentLayout();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, unsigned flags) {
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) {
        return nullptr;
    }
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) {
        return nullptr;
    }
    if ((flags & UIFIND_HITTEST) != 0 &&
        (!m_mouseEnabled || !m_rcItem.Contains(*static_cast<const UiPoint*>(data)))) {
        return nullptr;
    }
    return proc(this, data);
}

// ---- updates ------------------------------------------------------------------------------

void CControlUI::Invalidate() {
    if (!IsVisible() || m_manager == nullptr) {
        return;
    }
    UiRect dirty = m_rcItem;
    for (CControlUI* p = m_parent; p != nullptr && !dirty.IsEmpty(); p = p->m_parent) {
        dirty = dirty.Intersect(p->GetPos());
    }
    if (!dirty.IsEmpty()) {
        m_manager->Invalidate(dirty);
    }
}

void CControlUI::RequestLayout() {
    if (!IsVisible()) {
        return;
    }
    m_updateNeeded = true;
    Invalidate();
    if (m_manager != nullptr) {
        m_manager->NeedUpdate();
    }
}

void CControlUI::RequestParentLayout() {
    if (m_parent != nullptr) {
        m_parent->RequestLayout();
        m_parent->Invalidate();
    } else {
        RequestLayout();
    }
}

void CControlUI::Init() {
    if (m_initialized) {
        return;
    }
    m_initialized = true;
    OnInit();
}

// ---- events -------------------------------------------------------------------------------

void CControlUI::Event(EventRecord& event) {
    for (const auto& listener : m_eventListeners) {
        if (!listener(event)) {
            return;
        }
    }
    HandleEvent(event);
}

void CControlUI::HandleEvent(EventRecord& event) {
    switch (event.kind) {
        case EVT_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, m_cursor != nullptr ? m_cursor : IDC_ARROW));
            return;
        case EVT_SETFOCUS:
            m_focused = true;
            Invalidate();
            return;
        case EVT_KILLFOCUS:
            m_focused = false;
            Invalidate();
            return;
        case EVT_TIMER:
            if (m_manager != nullptr) {
                m_manager->SendNotification(this, L"timer", event.wParam, event.lParam);
            }
            return;
        case EVT_CONTEXTMENU:
            if (m_contextMenuUsed && m_manager != nullptr) {
                m_manager->SendNotification(this, L"menu", event.wParam, event.lParam);
                return;
            }
            break;
        default:
            break;
    }
    if (m_parent != nullptr) {
        m_parent->Event(event);
    }
}

bool CControlUI::PassMouseEventToParent(EventRecord& event) {
    if (IsMouseEnabled() || !IsMouseEvent(event.kind)) {
        return false;
    }
    if (m_parent != nullptr) {
        m_parent->Event(event);
    }
    return true;
}

void CControlUI::NotifyListeners(NotifyRecord& notification) {
    for (const auto& listener : m_notifyListeners) {
        listener(notification);
    }
}

// ---- attributes ---------------------------------------------------------------------------

void CControlUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
    SetAttributeExpandingStyles(name, value, 0);
}

void CControlUI::SetAttributeExpandingStyles(std::wstring_view name, std::wstring_view value,
                                             int depth) {
    if (m_manager != nullptr && depth < kMaxStyleDepth) {
        if (const auto style = m_manager->GetStyle(value)) {
            // The style's list is applied in place of this attribute, whatever its name; the
            // list is copied because applying it may add styles and move the table's storage.
            const std::wstring list(*style);
            ForEachAttributePair(list, [&](std::wstring_view n, std::wstring_view v) {
                SetAttributeExpandingStyles(n, v, depth + 1);
            });
            return;
        }
    }
    ApplyAttribute(name, value);
}

void CControlUI::ApplyAttributeList(std::wstring_view list) {
    const std::wstring copy(list);
    ForEachAttributePair(copy,
                         [&](std::wstring_view n, std::wstring_view v) { SetAttribute(n, v); });
}

std::wstring CControlUI::GetCustomAttribute(std::wstring_view name) const {
    auto it = m_customAttributes.find(std::wstring(name));
    return it != m_customAttributes.end() ? it->second : std::wstring();
}

void CControlUI::ApplyAttribute(std::wstring_view name, std::wstring_view value) {
    if (const ControlAttributes::Setter* set = Attributes().Find(name)) {
        (*set)(*this, value);
    } else {
        m_customAttributes[std::wstring(name)] = value;
    }
}

const ControlAttributes& CControlUI::Attributes() const {
    using Self = CControlUI;
    static const auto table = ControlAttributes::Of<Self>(
        nullptr,
        {
            // ---- place and size ----
            {L"pos", [](Self& c, std::wstring_view v) { ApplyPos(c, ParseRect(v)); }},
            {L"float", [](Self& c, std::wstring_view v) { ApplyFloat(c, v); }},
            {L"floatalign",
             [](Self& c, std::wstring_view v) {
                 c.SetFloatAlign(ParseFloatAlign(v, c.m_floatAlign));
             }},
            {L"padding", [](Self& c, std::wstring_view v) { c.SetPadding(ParseRect(v)); }},
            {L"width", [](Self& c, std::wstring_view v) { c.SetFixedWidth(ParseInt(v)); }},
            {L"height", [](Self& c, std::wstring_view v) { c.SetFixedHeight(ParseInt(v)); }},
            {L"minwidth", [](Self& c, std::wstring_view v) { c.SetMinWidth(ParseInt(v)); }},
            {L"minheight", [](Self& c, std::wstring_view v) { c.SetMinHeight(ParseInt(v)); }},
            {L"maxwidth", [](Self& c, std::wstring_view v) { c.SetMaxWidth(ParseInt(v)); }},
            {L"maxheight", [](Self& c, std::wstring_view v) { c.SetMaxHeight(ParseInt(v)); }},
            // ---- colours, images and border ----
            {L"gradient", [](Self& c, std::wstring_view v) { c.m_verticalGradient = v != L"hor"; }},
            {L"bkcolor", [](Self& c, std::wstring_view v) { c.SetBkColor(ParseColor(v)); }},
            {L"bkcolor1", [](Self& c, std::wstring_view v) { c.SetBkColor(ParseColor(v)); }},
            {L"bkcolor2", [](Self& c, std::wstring_view v) { c.SetBkColor2(ParseColor(v)); }},
            {L"bkcolor3", [](Self& c, std::wstring_view v) { c.SetBkColor3(ParseColor(v)); }},
            {L"forecolor", [](Self& c, std::wstring_view v) { c.SetForeColor(ParseColor(v)); }},
            {L"bordercolor", [](Self& c, std::wstring_view v) { c.SetBorderColor(ParseColor(v)); }},
            {L"focusbordercolor",
             [](Self& c, std::wstring_view v) { c.SetFocusBorderColor(ParseColor(v)); }},
            {L"colorhsl", [](Self& c, std::wstring_view v) { c.m_colorHsl = ParseBool(v); }},
            {L"bordersize",
             [](Self& c, std::wstring_view v) {
                 if (v.find(L',') == std::wstring_view::npos) {
                     c.SetBorderSize(ParseInt(v));
                 } else {
                     c.SetBorderSize(ParseRect(v));
                 }
             }},
            {L"leftbordersize",
             [](Self& c, std::wstring_view v) { c.SetBorderSide(&UiRect::left, ParseInt(v)); }},
            {L"topbordersize",
             [](Self& c, std::wstring_view v) { c.SetBorderSide(&UiRect::top, ParseInt(v)); }},
            {L"rightbordersize",
             [](Self& c, std::wstring_view v) { c.SetBorderSide(&UiRect::right, ParseInt(v)); }},
            {L"bottombordersize",
             [](Self& c, std::wstring_view v) { c.SetBorderSide(&UiRect::bottom, ParseInt(v)); }},
            {L"borderstyle",
             [](Self& c, std::wstring_view v) {
                 c.m_borderStyle = ParseInt(v);
                 c.Invalidate();
             }},
            {L"borderround", [](Self& c, std::wstring_view v) { c.SetBorderRound(ParseSize(v)); }},
            {L"bkimage", [](Self& c, std::wstring_view v) { c.SetBkImage(v); }},
            {L"foreimage", [](Self& c, std::wstring_view v) { c.SetForeImage(v); }},
            // ---- text and data ----
            {L"name", [](Self& c, std::wstring_view v) { c.SetName(v); }},
            {L"text", [](Self& c, std::wstring_view v) { c.SetText(v); }},
            {L"tooltip", [](Self& c, std::wstring_view v) { c.SetToolTip(v); }},
            {L"userdata", [](Self& c, std::wstring_view v) { c.m_userData = v; }},
            {L"virtualwnd", [](Self& c, std::wstring_view v) { c.m_virtualWnd = v; }},
            {L"resourcetext",
             [](Self& c, std::wstring_view v) { c.SetResourceText(ParseBool(v)); }},
            // ---- state and input ----
            {L"enabled", [](Self& c, std::wstring_view v) { c.SetEnabled(ParseBool(v)); }},
            {L"mouse", [](Self& c, std::wstring_view v) { c.SetMouseEnabled(ParseBool(v)); }},
            {L"keyboard", [](Self& c, std::wstring_view v) { c.SetKeyboardEnabled(ParseBool(v)); }},
            {L"visible", [](Self& c, std::wstring_view v) { c.SetVisible(ParseBool(v)); }},
            {L"drag", [](Self& c, std::wstring_view v) { c.m_dragEnabled = ParseBool(v); }},
            {L"drop", [](Self& c, std::wstring_view v) { c.m_dropEnabled = ParseBool(v); }},
            {L"menu", [](Self& c, std::wstring_view v) { c.m_contextMenuUsed = ParseBool(v); }},
            {L"shortcut",
             [](Self& c, std::wstring_view v) { c.m_shortcut = v.empty() ? 0 : v.front(); }},
            {L"cursor",
             [](Self& c, std::wstring_view v) { c.m_cursor = CursorNamed(v, c.m_cursor); }},
            {L"innerstyle", [](Self& c, std::wstring_view v) { ApplyInnerStyle(c, v); }},
            // ---- accessibility ----
            {L"accessiblename", [](Self& c, std::wstring_view v) { c.m_accessibleName = v; }},
            {L"accessiblerole", [](Self& c, std::wstring_view v) { c.m_accessibleRole = v; }},
            {L"focusround", [](Self& c, std::wstring_view v) { c.m_focusRound = ParseInt(v); }},
        });
    return table;
}

UiSize CControlUI::MeasureSize(UiSize /*available*/) {
    return {GetFixedWidth(), GetFixedHeight()};
}

// ---- colours and images -------------------------------------------------------------------

void CControlUI::SetBkColor(uint32_t color) {
    if (m_bkColor != color) {
        m_bkColor = color;
        Invalidate();
    }
}
void CControlUI::SetBkColor2(uint32_t color) {
    if (m_bkColor2 != color) {
        m_bkColor2 = color;
        Invalidate();
    }
}
void CControlUI::SetBkColor3(uint32_t color) {
    if (m_bkColor3 != color) {
        m_bkColor3 = color;
        Invalidate();
    }
}
void CControlUI::SetForeColor(uint32_t color) {
    if (m_foreColor != color) {
        m_foreColor = color;
        Invalidate();
    }
}
void CControlUI::SetBorderColor(uint32_t color) {
    if (m_borderColor != color) {
        m_borderColor = color;
        Invalidate();
    }
}
void CControlUI::SetFocusBorderColor(uint32_t color) {
    if (m_focusBorderColor != color) {
        m_focusBorderColor = color;
        Invalidate();
    }
}
void CControlUI::SetBorderSize(int size) {
    m_borderSize = size;
    m_borderSides = {};
    Invalidate();
}
void CControlUI::SetBorderSize(UiRect sides) {
    m_borderSides = sides;
    Invalidate();
}
void CControlUI::SetBorderSide(int UiRect::*side, int size) {
    m_borderSides.*side = size;
    Invalidate();
}
void CControlUI::SetBorderRound(UiSize round) {
    m_borderRound = round;
    Invalidate();
}
void CControlUI::SetBkImage(std::wstring_view description) {
    if (m_bkImage.Text() != description) {
        m_bkImage.Set(description);
        Invalidate();
    }
}
void CControlUI::SetForeImage(std::wstring_view description) {
    if (m_foreImage.Text() != description) {
        m_foreImage.Set(description);
        Invalidate();
    }
}

bool CControlUI::DrawImage(HDC dc, ImageSlot& image, std::wstring_view modifier) {
    if (image.IsEmpty() || m_manager == nullptr) {
        return false;
    }
    const int scale = m_manager->GetDisplayScale().Percent();
    return CRenderEngine::PaintImageSpec(dc, m_manager, m_rcItem, m_rcPaint,
                                         image.Spec(modifier, scale), m_colorHsl);
}

// ---- painting -----------------------------------------------------------------------------

bool CControlUI::Paint(HDC dc, const UiRect& paint, CControlUI* stop) {
    if (stop == this) {
        return false;
    }
    if (!paint.Intersects(m_rcItem)) {
        return true;
    }
    return PaintTree(dc, paint, stop);
}

bool CControlUI::PaintTree(HDC dc, const UiRect& paint, CControlUI* stop) {
    (void)stop;
    m_rcPaint = paint.Intersect(m_rcItem);
    if (m_rcPaint.IsEmpty()) {
        return true;
    }
    const UiSize round{ScaleLength(m_borderRound.cx), ScaleLength(m_borderRound.cy)};
    std::unique_ptr<ScopedSaveDc> clip;
    if (round.cx > 0 || round.cy > 0) {
        clip = std::make_unique<ScopedSaveDc>(dc);
        UniqueRegion region(::CreateRoundRectRgn(m_rcItem.left, m_rcItem.top, m_rcItem.right + 1,
                                                 m_rcItem.bottom + 1, round.cx, round.cy));
        ::ExtSelectClipRgn(dc, region.Get(), RGN_AND);
    }
    PaintBackColor(dc);
    PaintBackImage(dc);
    PaintStateImage(dc);
    PaintForegroundColor(dc);
    PaintForegroundImage(dc);
    PaintText(dc);
    PaintBorder(dc);
    return true;
}

void CControlUI::PaintBackColor(HDC dc) {
    if (m_bkColor == 0) {
        return;
    }
    if (m_bkColor2 == 0) {
        const bool opaque = (m_bkColor >> 24) == 0xFF;
        CRenderEngine::FillColor(dc, opaque ? m_rcPaint : m_rcItem, m_bkColor);
        return;
    }
    if (m_bkColor3 == 0) {
        CRenderEngine::FillGradient(dc, m_rcItem, m_bkColor, m_bkColor2, m_verticalGradient, 16);
        return;
    }
    UiRect upper = m_rcItem;
    upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
    UiRect lower = m_rcItem;
    lower.top = upper.bottom;
    CRenderEngine::FillGradient(dc, upper, m_bkColor, m_bkColor2, m_verticalGradient, 8);
    CRenderEngine::FillGradient(dc, lower, m_bkColor2, m_bkColor3, m_verticalGradient, 8);
}

void CControlUI::PaintBackImage(HDC dc) {
    DrawImage(dc, m_bkImage);
}

void CControlUI::PaintStateImage(HDC) {}

void CControlUI::PaintForegroundColor(HDC dc) {
    CRenderEngine::FillColor(dc, m_rcItem, m_foreColor);
}

void CControlUI::PaintForegroundImage(HDC dc) {
    DrawImage(dc, m_foreImage);
}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC dc) {
    if (m_borderColor == 0 && m_focusBorderColor == 0) {
        return;
    }
    const int size = ScaleLength(m_borderSize);
    const UiSize round{ScaleLength(m_borderRound.cx), ScaleLength(m_borderRound.cy)};
    const bool focusedLook = IsFocused() && m_focusBorderColor != 0;
    if (size >= 1 && (round.cx > 0 || round.cy > 0)) {
        CRenderEngine::StrokeRoundRect(dc, m_rcItem, size, round.cx, round.cy,
                                       focusedLook ? m_focusBorderColor : m_borderColor,
                                       m_borderStyle);
        return;
    }
    if (focusedLook && size >= 1) {
        CRenderEngine::StrokeRect(dc, m_rcItem, size, m_focusBorderColor, m_borderStyle);
        return;
    }
    const UiRect sides = ScaleRect(m_borderSides);
    if (!sides.IsZero()) {
        const UiRect& r = m_rcItem;
        if (sides.left > 0) {
            CRenderEngine::StrokeLine(dc, {r.left, r.top, r.left, r.bottom}, sides.left,
                                      m_borderColor, m_borderStyle);
        }
        if (sides.top > 0) {
            CRenderEngine::StrokeLine(dc, {r.left, r.top, r.right, r.top}, sides.top, m_borderColor,
                                      m_borderStyle);
        }
        if (sides.right > 0) {
            CRenderEngine::StrokeLine(dc, {r.right - 1, r.top, r.right - 1, r.bottom}, sides.right,
                                      m_borderColor, m_borderStyle);
        }
        if (sides.bottom > 0) {
            CRenderEngine::StrokeLine(dc, {r.left, r.bottom - 1, r.right, r.bottom - 1},
                                      sides.bottom, m_borderColor, m_borderStyle);
        }
    } else if (size >= 1) {
        CRenderEngine::StrokeRect(dc, m_rcItem, size, m_borderColor, m_borderStyle);
    }
}

void CControlUI::PaintAfter(HDC, const UiRect&) {}

}  // namespace tessel
