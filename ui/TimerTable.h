#pragma once

#include <optional>
#include <vector>

namespace tessel {

class CControlUI;

// The system timers of one window, as the timer table starts and stops them. The paint manager's
// implementation calls SetTimer and KillTimer on its window; tests count the calls.
class ISystemTimers {
public:
    // False when the system refused the timer.
    virtual bool StartSystemTimer(unsigned systemId, unsigned elapseMs) = 0;
    virtual void StopSystemTimer(unsigned systemId) = 0;

protected:
    ~ISystemTimers() = default;
};

// The timers of one window's controls. Each (control, timer id) pair gets one system timer of the
// window, with a system id from 0 to 239; the table hands the ids out in turn and maps a system
// tick back to its control and timer id.
//
//   set (c, 7)  ->  next free system id after the last one handed out, wrapping 239 -> 0
//   kill (c, 7) ->  the system timer stops; the record keeps its id
//   set (c, 7)  ->  restarts under that same id (a live record refuses a second set)
//
// Ownership: owns the records only. Controls are not owned: the paint manager removes a control's
// timers before the control dies. The system timers object outlives the table.
class TimerTable {
public:
    static constexpr unsigned kSystemIdCount = 240;

    struct Record {
        CControlUI* control = nullptr;  // not owned
        unsigned timerId = 0;
        unsigned systemId = 0;
        bool killed = false;
    };

    explicit TimerTable(ISystemTimers& system) : m_system(system) {}
    TimerTable(const TimerTable&) = delete;
    TimerTable& operator=(const TimerTable&) = delete;

    // False when the timer is live already, when every system id is held, or when the system
    // refused it.
    bool Set(CControlUI* control, unsigned timerId, unsigned elapseMs);
    // False when no live timer of that pair exists.
    bool Kill(CControlUI* control, unsigned timerId);
    // Stops and forgets every timer of `control`, killed ones included.
    void RemoveAllOf(const CControlUI* control);
    void RemoveAll();
    // The live timer behind a system tick; null for an id no live timer holds.
    const Record* FindLive(unsigned systemId) const;

    // The id the next new timer would get: the first id after the last one handed out (wrapping
    // to 0) that no record holds, live or killed. Pure arithmetic over the records.
    std::optional<unsigned> NextSystemId() const;

private:
    Record* Find(const CControlUI* control, unsigned timerId);
    bool IsHeld(unsigned systemId) const;

    ISystemTimers& m_system;  // not owned
    std::vector<Record> m_records;
    unsigned m_lastSystemId = 0;
};

}  // namespace tessel
