#include "ui/TimerTable.h"

#include <algorithm>

namespace tessel {

bool TimerTable::Set(CControlUI* control, unsigned timerId, unsigned elapseMs) {
    if (Record* record = Find(control, timerId)) {
        if (!record->killed || !m_system.StartSystemTimer(record->systemId, elapseMs)) {
            return false;
        }
        record->killed = false;
        return true;
    }
    const std::optional<unsigned> systemId = NextSystemId();
    if (!systemId || !m_system.StartSystemTimer(*systemId, elapseMs)) {
        return false;
    }
    m_lastSystemId = *systemId;
    m_records.push_back({control, timerId, *systemId, false});
    return true;
}

bool TimerTable::Kill(CControlUI* control, unsigned timerId) {
    Record* record = Find(control, timerId);
    if (record == nullptr || record->killed) {
        return false;
    }
    m_system.StopSystemTimer(record->systemId);
    record->killed = true;
    return true;
}

void TimerTable::RemoveAllOf(const CControlUI* control) {
    std::erase_if(m_records, [&](const Record& record) {
        if (record.control != control) {
            return false;
        }
        if (!record.killed) {
            m_system.StopSystemTimer(record.systemId);
        }
        return true;
    });
}

void TimerTable::RemoveAll() {
    for (const Record& record : m_records) {
        if (!record.killed) {
            m_system.StopSystemTimer(record.systemId);
        }
    }
    m_records.clear();
}

const TimerTable::Record* TimerTable::FindLive(unsigned systemId) const {
    const auto it = std::find_if(m_records.begin(), m_records.end(), [&](const Record& record) {
        return record.systemId == systemId && !record.killed;
    });
    return it != m_records.end() ? &*it : nullptr;
}

std::optional<unsigned> TimerTable::NextSystemId() const {
    // Ids still held by a record (live, or killed and waiting for a restart) are passed over so
    // one timer never replaces another.
    for (unsigned step = 1; step <= kSystemIdCount; ++step) {
        const unsigned candidate = (m_lastSystemId + step) % kSystemIdCount;
        if (!IsHeld(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

TimerTable::Record* TimerTable::Find(const CControlUI* control, unsigned timerId) {
    const auto it = std::find_if(m_records.begin(), m_records.end(), [&](const Record& record) {
        return record.control == control && record.timerId == timerId;
    });
    return it != m_records.end() ? &*it : nullptr;
}

bool TimerTable::IsHeld(unsigned systemId) const {
    return std::any_of(m_records.begin(), m_records.end(),
                       [&](const Record& record) { return record.systemId == systemId; });
}

}  // namespace tessel
