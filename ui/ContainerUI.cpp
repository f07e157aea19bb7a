#include "ui/ContainerUI.h"

#include <algorithm>
#include <optional>
#include <span>

#include "ui/AttributeText.h"
#include "ui/GdiHandles.h"
#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

// Lets the box layout read and place one child control.
class ChildLayoutItem final : public ILayoutItem {
public:
    ChildLayoutItem(CContainerUI& owner, CControlUI& child, int index)
        : m_owner(owner), m_child(child), m_index(index) {}

    bool IsVisible() const override { return m_child.IsVisible(); }
    bool IsFloat() const override { return m_child.IsFloat(); }
    UiRect GetPadding() const override { return m_child.GetPadding(); }
    int GetFixedWidth() const override { return m_child.GetFixedWidth(); }
    int GetFixedHeight() const override { return m_child.GetFixedHeight(); }
    int GetMinWidth() const override { return m_child.GetMinWidth(); }
    int GetMaxWidth() const override { return m_child.GetMaxWidth(); }
    int GetMinHeight() const override { return m_child.GetMinHeight(); }
    int GetMaxHeight() const override { return m_child.GetMaxHeight(); }
    UiSize MeasureSize(UiSize available) override { return m_child.MeasureSize(available); }
    void PlaceAt(const UiRect& rect) override { m_child.SetPos(rect, false); }
    void PlaceFloating() override { m_owner.SetFloatPos(m_index); }

private:
    CContainerUI& m_owner;
    CControlUI& m_child;
    int m_index;
};

struct AlignName {
    std::wstring_view name;
    unsigned align;
};
constexpr AlignName kChildAligns[] = {{L"left", CContainerUI::kAlignLeft},
                                      {L"center", CContainerUI::kAlignCenter},
                                      {L"right", CContainerUI::kAlignRight}};
constexpr AlignName kChildVAligns[] = {{L"top", CContainerUI::kVAlignTop},
                                       {L"vcenter", CContainerUI::kVAlignCenter},
                                       {L"bottom", CContainerUI::kVAlignBottom}};

// The alignment `name` stands for among `names` (letter case counts); none for another word.
std::optional<unsigned> AlignNamed(std::span<const AlignName> names, std::wstring_view name) {
    for (const AlignName& entry : names) {
        if (entry.name == name) {
            return entry.align;
        }
    }
    return std::nullopt;
}

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    if (!m_autoDestroy) {
        // Children that are not ours to delete were handed to someone else.
        for (auto& item : m_items) {
            (void)item.release();
        }
    }
    m_items.clear();
}

void* CContainerUI::QueryInterfaceByName(std::wstring_view name) {
    if (name == L"IContainer") {
        return static_cast<IContainerUI*>(this);
    }
    if (name == L"Container") {
        return static_cast<CContainerUI*>(this);
    }
    return CControlUI::QueryInterfaceByName(name);
}

// ---- children -----------------------------------------------------------------------------

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) {
        return nullptr;
    }
    return m_items[static_cast<size_t>(index)].get();
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int newIndex) {
    const int index = GetItemIndex(control);
    if (index < 0 || newIndex < 0 || newIndex >= GetCount()) {
        return false;
    }
    auto item = std::move(m_items[static_cast<size_t>(index)]);
    m_items.erase(m_items.begin() + index);
    m_items.insert(m_items.begin() + newIndex, std::move(item));
    RequestLayout();
    return true;
}

bool CContainerUI::Add(CControlUI* control) {
    // Not the virtual AddAt: a derived Add does its own bookkeeping around this.
    return CContainerUI::AddAt(control, GetCount());
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr || index < 0 || index > GetCount() || GetItemIndex(control) >= 0) {
        return false;
    }
    m_items.emplace(m_items.begin() + index, control);
    if (m_manager != nullptr) {
        m_manager->BindControlTree(control, this);
    } else {
        control->SetManager(nullptr, this, false);
    }
    control->SetInheritedVisible(IsVisible());
    RequestLayout();
    return true;
}

bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy) {
    const int index = GetItemIndex(control);
    return index >= 0 && RemoveAt(index, doNotDestroy);
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    std::unique_ptr<CControlUI> item = std::move(m_items[static_cast<size_t>(index)]);
    m_items.erase(m_items.begin() + index);
    if (doNotDestroy || !m_autoDestroy) {
        (void)item.release();
    } else if (m_delayedDestroy && m_manager != nullptr) {
        m_manager->AddDelayedCleanup(item.release());
    }
    RequestLayout();
    return true;
}

void CContainerUI::RemoveAll() {
    while (!m_items.empty()) {
        RemoveAt(GetCount() - 1);
    }
    RequestLayout();
}

// ---- settings -----------------------------------------------------------------------------

void CContainerUI::OnDisplayScaleChanged() {
    CControlUI::OnDisplayScaleChanged();
    for (const auto& item : m_items) {
        item->OnDisplayScaleChanged();
    }
}

UiRect CContainerUI::GetInset() const {
    return ScaleRect(m_inset);
}
void CContainerUI::SetInset(UiRect inset) {
    m_inset = inset;
    RequestLayout();
}
int CContainerUI::GetChildPadding() const {
    return ScaleLength(m_childPadding);
}
void CContainerUI::SetChildPadding(int padding) {
    m_childPadding = padding;
    RequestLayout();
}
void CContainerUI::SetChildAlign(unsigned align) {
    m_childAlign = align;
    RequestLayout();
}
void CContainerUI::SetChildVAlign(unsigned align) {
    m_childVAlign = align;
    RequestLayout();
}

const ControlAttributes& CContainerUI::Attributes() const {
    using Self = CContainerUI;
    static const auto table = ControlAttributes::Of<Self>(
        &CControlUI::Attributes(),
        {
            {L"inset", [](Self& c, std::wstring_view v) { c.SetInset(ParseRect(v)); }},
            {L"childpadding", [](Self& c, std::wstring_view v) { c.SetChildPadding(ParseInt(v)); }},
            {L"childalign",
             [](Self& c, std::wstring_view v) {
                 if (const auto align = AlignNamed(kChildAligns, v)) {
                     c.SetChildAlign(*align);
                 }
             }},
            {L"childvalign",
             [](Self& c, std::wstring_view v) {
                 if (const auto align = AlignNamed(kChildVAligns, v)) {
                     c.SetChildVAlign(*align);
                 }
             }},
            {L"mousechild",
             [](Self& c, std::wstring_view v) { c.SetMouseChildEnabled(ParseBool(v)); }},
            // Scroll-bar controls are not part of this framework; no skin turns them on.
            {L"vscrollbar", [](Self&, std::wstring_view) {}},
            {L"hscrollbar", [](Self&, std::wstring_view) {}},
            {L"vscrollbarstyle", [](Self& c, std::wstring_view v) { c.m_vScrollBarStyle = v; }},
            {L"hscrollbarstyle", [](Self& c, std::wstring_view v) { c.m_hScrollBarStyle = v; }},
            {L"scrollstepsize",
             [](Self& c, std::wstring_view v) { c.m_scrollStepSize = ParseInt(v); }},
        });
    return table;
}

ControlAttributes CContainerUI::BoxLayoutAttributes(std::wstring_view separatorSizeName) const {
    using Self = CContainerUI;
    return ControlAttributes::Of<Self>(
        &CContainerUI::Attributes(),
        {
            {separatorSizeName,
             [](Self& c, std::wstring_view v) { c.m_separatorSize = ParseInt(v); }},
            {L"sepimm",
             [](Self& c, std::wstring_view v) { c.m_separatorImmediate = ParseBool(v); }},
        });
}

// ---- tree ---------------------------------------------------------------------------------

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (auto& item : m_items) {
        item->SetManager(manager, this, init);
    }
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible) {
    if (m_visible == visible) {
        return;
    }
    CControlUI::SetVisible(visible);
    for (auto& item : m_items) {
        item->SetInheritedVisible(IsVisible());
    }
}

void CContainerUI::SetInheritedVisible(bool visible) {
    CControlUI::SetInheritedVisible(visible);
    for (auto& item : m_items) {
        item->SetInheritedVisible(IsVisible());
    }
}

void CContainerUI::Move(UiSize offset, bool needInvalidate) {
    CControlUI::Move(offset, needInvalidate);
    for (auto& item : m_items) {
        if (item->IsVisible()) {
            item->Move(offset, false);
        }
    }
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, unsigned flags) {
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) {
        return nullptr;
    }
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) {
        return nullptr;
    }
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    const UiPoint point = hitTest ? *static_cast<const UiPoint*>(data) : UiPoint{};
    if (hitTest && !m_rcItem.Contains(point)) {
        return nullptr;
    }
    if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) {
        return nullptr;
    }
    if ((flags & UIFIND_ME_FIRST) != 0 && (!hitTest || m_mouseEnabled)) {
        if (CControlUI* found = proc(this, data)) {
            return found;
        }
    }
    if (!hitTest || m_mouseChildEnabled) {
        const UiRect content = ContentRect();
        const auto visit = [&](CControlUI* child) -> CControlUI* {
            CControlUI* found = child->FindControl(proc, data, flags);
            if (found != nullptr && (!hitTest || found->IsFloat() || content.Contains(point))) {
                return found;
            }
            return nullptr;
        };
        if ((flags & UIFIND_TOP_FIRST) != 0) {
            for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
                if (CControlUI* found = visit(it->get())) {
                    return found;
                }
            }
        } else {
            for (auto& item : m_items) {
                if (CControlUI* found = visit(item.get())) {
                    return found;
                }
            }
        }
    }
    if ((flags & UIFIND_ME_FIRST) == 0 && (!hitTest || m_mouseEnabled)) {
        return proc(this, data);
    }
    return nullptr;
}

// ---- placement ----------------------------------------------------------------------------

UiRect CContainerUI::ContentRect() const {
    return m_rcItem.Deflate(GetInset());
}

void CContainerUI::SetPos(UiRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.empty()) {
        return;
    }
    // Every child covers the content rectangle. (The inset is scaled here as in the layouts: an
    // unscaled inset would shift the children against their scaled siblings at any other scale.)
    const UiRect content = ContentRect();
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = m_items[static_cast<size_t>(i)].get();
        if (!child->IsVisible()) {
            continue;
        }
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        child->SetPos(PlaceInArea(content, {0, 0}, {child->GetMinWidth(), child->GetMinHeight()},
                                  {child->GetMaxWidth(), child->GetMaxHeight()}),
                      false);
    }
}

void CContainerUI::LayoutChildren(Axis axis, CrossAlign align, const UiRect& content) {
    std::vector<ChildLayoutItem> adapters;
    adapters.reserve(m_items.size());
    for (size_t i = 0; i < m_items.size(); ++i) {
        adapters.emplace_back(*this, *m_items[i], static_cast<int>(i));
    }
    std::vector<ILayoutItem*> items;
    items.reserve(adapters.size());
    for (auto& adapter : adapters) {
        items.push_back(&adapter);
    }
    BoxLayoutInput input;
    input.axis = axis;
    input.content = content;
    input.childPadding = GetChildPadding();
    input.align = align;
    if (m_manager != nullptr && m_manager->GetDisplayScale().Percent() != 100) {
        // Half a pixel for each length rounded along the axis: the container's inset, each
        // child's size and paddings, the gaps between children.
        const int lengths = 2 + 4 * static_cast<int>(items.size());
        input.roundingSlack = (lengths + 1) / 2;
    }
    const UiSize needed = LayoutBox(input, items);
    UpdateScrollBars(content, needed);
}

void CContainerUI::PlaceAsBox(UiRect rc, bool needInvalidate, Axis axis) {
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.empty()) {
        UpdateScrollBars(ContentRect(), {});
        return;
    }
    CrossAlign align = CrossAlign::Start;
    if (axis == Axis::Vertical) {
        align = m_childAlign == kAlignCenter  ? CrossAlign::Center
                : m_childAlign == kAlignRight ? CrossAlign::End
                                              : CrossAlign::Start;
    } else {
        align = m_childVAlign == kVAlignCenter   ? CrossAlign::Center
                : m_childVAlign == kVAlignBottom ? CrossAlign::End
                                                 : CrossAlign::Start;
    }
    LayoutChildren(axis, align, ContentRect());
}

void CContainerUI::SetFloatPos(int index) {
    CControlUI* child = GetItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat()) {
        return;
    }
    const FloatPercent percent = child->GetFloatPercent();
    FloatPlacement placement;
    placement.fixedXY = child->GetFixedXY();
    placement.fixedSize = {child->GetFixedWidth(), child->GetFixedHeight()};
    placement.align = child->GetFloatAlign();
    placement.left = percent.left;
    placement.top = percent.top;
    placement.right = percent.right;
    placement.bottom = percent.bottom;
    child->SetPos(ComputeFloatRect(m_rcItem, placement), false);
}

void CContainerUI::UpdateScrollBars(const UiRect& /*content*/, UiSize needed) {
    m_neededSize = needed;
}

// ---- painting -----------------------------------------------------------------------------

bool CContainerUI::PaintTree(HDC dc, const UiRect& paint, CControlUI* stop) {
    const UiRect own = paint.Intersect(m_rcItem);
    if (own.IsEmpty()) {
        return true;
    }
    {
        ScopedSaveDc saved(dc);
        ::IntersectClipRect(dc, own.left, own.top, own.right, own.bottom);
        if (!CControlUI::PaintTree(dc, paint, stop)) {
            return false;
        }
    }
    if (m_items.empty()) {
        return true;
    }
    const UiRect content = ContentRect();
    const bool contentNeedsPaint = paint.Intersects(content);
    for (auto& item : m_items) {
        CControlUI* child = item.get();
        if (child == stop) {
            return false;
        }
        if (!child->IsVisible() || !paint.Intersects(child->GetPos())) {
            continue;
        }
        const bool floating = child->IsFloat();
        if (!floating && !contentNeedsPaint) {
            continue;
        }
        const UiRect clip = floating ? m_rcItem : content;
        if (!clip.Intersects(child->GetPos())) {
            continue;
        }
        ScopedSaveDc saved(dc);
        ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        if (!child->Paint(dc, paint, stop)) {
            return false;
        }
    }
    return true;
}

}  // namespace tessel
