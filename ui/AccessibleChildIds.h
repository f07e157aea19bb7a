#pragma once

#include <unordered_map>

namespace tessel {

class CControlUI;

// The child ids an accessibility client is given for the controls of one window. A client may
// hold an id for as long as it likes, so an id names one control for good: it is handed out on
// first use, never given to another control, and stops naming anything once its control is
// forgotten (even if a new control is later made at the same address).
//
// Ownership: owns nothing; the controls belong to the window's tree, which calls Forget before a
// control goes.
class AccessibleChildIds {
public:
    // The id of `control` (1 or more), handed out now if it has none. 0 for null, and once the
    // ids are used up (after 2^31 - 1 controls): 0 is the window itself to a client, never a
    // control.
    long IdOf(const CControlUI* control);
    // The control `id` names; null when it names none (never handed out, or forgotten).
    CControlUI* ControlOf(long id) const;
    void Forget(const CControlUI* control);
    void ForgetAll();

private:
    std::unordered_map<const CControlUI*, long> m_ids;
    std::unordered_map<long, CControlUI*> m_controls;
    long m_next = 1;
};

}  // namespace tessel
