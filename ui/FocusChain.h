#pragma once

#include <span>
#include <vector>

namespace tessel {

class CControlUI;
class CPaintManagerUI;

enum class TabDirection { Forward, Backward };

// Where Tab goes among `stops` (tree order) from `current`: the next stop, or the previous one
// going backward, wrapping at either end. From a control that is not among the stops (or from none)
// it goes to the first stop forward and to the last backward. Null when there are no stops.
CControlUI* NextTabStop(std::span<CControlUI* const> stops, const CControlUI* current,
                        TabDirection direction);

// The tab stops of `root`'s tree in tree order: controls flagged UIFLAG_TABSTOP that are visible
// and enabled, inside containers that are too.
std::vector<CControlUI*> CollectTabStops(CControlUI* root);

// The keyboard focus inside one window: which control has it, handing it over (the old control
// hears that it lost it before the new one hears that it got it, each event followed by its
// notification), the Tab order walk, and the focus that waits for the tree's first placement.
//
// Ownership: owns nothing. The focused control belongs to the tree; the paint manager owns this
// chain and the tree, and calls Forget before a control dies.
class FocusChain {
public:
    explicit FocusChain(CPaintManagerUI& manager) : m_manager(manager) {}
    FocusChain(const FocusChain&) = delete;
    FocusChain& operator=(const FocusChain&) = delete;

    CControlUI* Focused() const { return m_focus; }
    // Gives the window the keyboard focus first when another window has it. Only a visible,
    // enabled control of this window's tree takes the focus; anything else (null too) leaves
    // nothing focused.
    void SetFocus(CControlUI* control);
    // The tab stop after (or before) the focused one. Forward while a layout is pending only
    // notes that focus is needed: tab stops that have not been placed yet cannot be judged.
    void MoveToNext(TabDirection direction);
    bool IsFocusNeeded() const { return m_focusNeeded; }

    // A new tree: nothing focused, and the first tab stop focused once the tree is placed.
    void Reset();
    // Drops a control that is going away, without events.
    void Forget(const CControlUI* control);

private:
    CPaintManagerUI& m_manager;     // not owned; owns this chain
    CControlUI* m_focus = nullptr;  // not owned; a control of the manager's tree
    bool m_focusNeeded = false;
};

}  // namespace tessel
