#include "ui/AccessibleChildIds.h"

#include <limits>

namespace tessel {

long AccessibleChildIds::IdOf(const CControlUI* control) {
    if (control == nullptr) {
        return 0;
    }
    if (const auto it = m_ids.find(control); it != m_ids.end()) {
        return it->second;
    }
    // Ids are 32-bit VT_I4 values on both architectures.
    if (m_next <= 0 || m_next == std::numeric_limits<int>::max()) {
        return 0;
    }
    const long id = m_next++;
    m_ids.emplace(control, id);
    m_controls.emplace(id, const_cast<CControlUI*>(control));
    return id;
}

CControlUI* AccessibleChildIds::ControlOf(long id) const {
    const auto it = m_controls.find(id);
    return it != m_controls.end() ? it->second : nullptr;
}

void AccessibleChildIds::Forget(const CControlUI* control) {
    const auto it = m_ids.find(control);
    if (it == m_ids.end()) {
        return;
    }
    m_controls.erase(it->second);
    m_ids.erase(it);
}

void AccessibleChildIds::ForgetAll() {
    m_ids.clear();
    m_controls.clear();
}

}  // namespace tessel
