#pragma once

#include <memory>
#include <vector>

#include "ui/ControlUI.h"

namespace tessel {

// The item interface of every container, as the markup builder reaches it ("IContainer").
// Add and AddAt take ownership of the control when they succeed (on failure the caller keeps it);
// Remove and RemoveAt delete it unless told not to destroy, in which case the caller owns it again.
class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int newIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control, bool doNotDestroy = false) = 0;
    virtual bool RemoveAt(int index, bool doNotDestroy = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

// The base of the layouts: an ordered list of owned children inside an inset. The plain container
// stacks every child over the whole content rectangle; the layouts override SetPos. Children are
// painted in list order, clipped to the content rectangle (floating ones to the container's).
class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    std::wstring_view GetClass() const override { return L"ContainerUI"; }
    void* QueryInterfaceByName(std::wstring_view name) override;

    // ---- IContainerUI ----
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    int GetCount() const override { return static_cast<int>(m_items.size()); }
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;
    void OnDisplayScaleChanged() override;

    // ---- container settings; the inset is read scaled ----
    virtual UiRect GetInset() const;
    virtual void SetInset(UiRect inset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual unsigned GetChildAlign() const { return m_childAlign; }
    virtual void SetChildAlign(unsigned align);
    virtual unsigned GetChildVAlign() const { return m_childVAlign; }
    virtual void SetChildVAlign(unsigned align);
    virtual bool IsAutoDestroy() const { return m_autoDestroy; }
    virtual void SetAutoDestroy(bool autoDestroy) { m_autoDestroy = autoDestroy; }
    virtual bool IsDelayedDestroy() const { return m_delayedDestroy; }
    virtual void SetDelayedDestroy(bool delayed) { m_delayedDestroy = delayed; }
    virtual bool IsMouseChildEnabled() const { return m_mouseChildEnabled; }
    virtual void SetMouseChildEnabled(bool enabled = true) { m_mouseChildEnabled = enabled; }
    // Places the floating child at `index` against this container's full rectangle.
    virtual void SetFloatPos(int index);
    // No skin turns scroll bars on; the layouts compute what they would need.
    virtual void UpdateScrollBars(const UiRect& content, UiSize needed);

    // Child alignment values.
    static constexpr unsigned kAlignLeft = 0;
    static constexpr unsigned kAlignCenter = 1;
    static constexpr unsigned kAlignRight = 2;
    static constexpr unsigned kVAlignTop = 0;
    static constexpr unsigned kVAlignCenter = 4;
    static constexpr unsigned kVAlignBottom = 8;

    // ---- CControlUI ----
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetPos(UiRect rc, bool needInvalidate = true) override;
    void Move(UiSize offset, bool needInvalidate = true) override;
    CControlUI* FindControl(FindControlProc proc, void* data, unsigned flags) override;
    bool PaintTree(HDC dc, const UiRect& paint, CControlUI* stop) override;

protected:
    const ControlAttributes& Attributes() const override;
    // The vertical and horizontal layouts' table: the container's, and the separator band
    // (`separatorSizeName`, a literal, and "sepimm").
    ControlAttributes BoxLayoutAttributes(std::wstring_view separatorSizeName) const;
    // The rectangle children live in: this rectangle less the (scaled) inset.
    UiRect ContentRect() const;
    // Runs the box layout over the children along `axis`.
    void LayoutChildren(Axis axis, CrossAlign align, const UiRect& content);
    // SetPos of the vertical and horizontal layouts: this rectangle, then the children stacked
    // along `axis` inside the scaled inset.
    void PlaceAsBox(UiRect rc, bool needInvalidate, Axis axis);

    std::vector<std::unique_ptr<CControlUI>> m_items;
    UiRect m_inset;
    int m_childPadding = 0;
    unsigned m_childAlign = kAlignLeft;
    unsigned m_childVAlign = kVAlignTop;
    bool m_mouseChildEnabled = true;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = true;
    int m_scrollStepSize = 0;
    std::wstring m_vScrollBarStyle;
    std::wstring m_hScrollBarStyle;
    UiSize m_neededSize;
    // The box layouts' separator band that would let the user drag the layout's size; kept, not
    // acted on.
    int m_separatorSize = 0;
    bool m_separatorImmediate = false;
};

}  // namespace tessel
