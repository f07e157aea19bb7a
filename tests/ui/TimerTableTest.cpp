// The timer table without a window: system ids handed out in turn, wrapping from 239 to 0 past
// ids still held, killed timers keeping their id for a restart, and ticks mapped back.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ui/ControlUI.h"
#include "ui/TimerTable.h"

namespace tessel {
namespace {

// System timers as a set of running ids; a refusal can be ordered for the next start.
class FakeSystemTimers final : public ISystemTimers {
public:
    bool StartSystemTimer(unsigned systemId, unsigned) override {
        if (refuseNext) {
            refuseNext = false;
            return false;
        }
        started.push_back(systemId);
        running.insert(systemId);
        return true;
    }
    void StopSystemTimer(unsigned systemId) override {
        EXPECT_EQ(running.erase(systemId), 1u) << "stopped id " << systemId << " was not running";
    }

    std::vector<unsigned> started;
    std::set<unsigned> running;
    bool refuseNext = false;
};

class TimerTableTest : public ::testing::Test {
protected:
    FakeSystemTimers m_system;
    TimerTable m_table{m_system};
    CControlUI m_first;
    CControlUI m_second;
};

TEST_F(TimerTableTest, IdsStartAtOneWrapFrom239ToZeroAndPassOverHeldIds) {
    CControlUI many;
    ASSERT_TRUE(m_table.Set(&m_first, 1, 1000));
    ASSERT_TRUE(m_table.Set(&m_second, 1, 1000));
    for (unsigned id = 1; id <= 238; ++id) {
        ASSERT_TRUE(m_table.Set(&many, id, 1000)) << id;
    }
    ASSERT_EQ(m_system.started.size(), 240u);
    EXPECT_EQ(m_system.started[0], 1u);
    EXPECT_EQ(m_system.started[1], 2u);
    EXPECT_EQ(m_system.started[238], 239u);
    EXPECT_EQ(m_system.started[239], 0u) << "the 240th timer wraps to system id 0";

    // Every id is held; a killed record still holds its own.
    ASSERT_TRUE(m_table.Kill(&m_second, 1));
    EXPECT_FALSE(m_table.NextSystemId().has_value());
    EXPECT_FALSE(m_table.Set(&m_first, 2, 5)) << "a killed record keeps its id for its restart";

    // Freed ids are handed out after the last one (0): 1, then 3, passing over the killed 2.
    m_table.RemoveAllOf(&m_first);
    m_table.RemoveAllOf(&many);
    ASSERT_TRUE(m_table.Set(&m_first, 2, 5));
    ASSERT_TRUE(m_table.Set(&m_first, 3, 5));
    EXPECT_EQ(m_system.running, (std::set<unsigned>{1, 3}));
}

TEST_F(TimerTableTest, KilledTimerRestartsUnderItsOldIdAndLiveOneRefusesASecondSet) {
    ASSERT_TRUE(m_table.Set(&m_first, 7, 10));
    ASSERT_TRUE(m_table.Set(&m_second, 7, 10)) << "the same timer id on another control";
    const unsigned firstId = m_system.started[0];
    EXPECT_NE(m_system.started[1], firstId);
    EXPECT_FALSE(m_table.Set(&m_first, 7, 10));
    EXPECT_EQ(m_system.started.size(), 2u) << "a refused set starts nothing";

    EXPECT_TRUE(m_table.Kill(&m_first, 7));
    EXPECT_FALSE(m_table.Kill(&m_first, 7));
    EXPECT_EQ(m_table.FindLive(firstId), nullptr) << "a killed timer's ticks are ignored";
    ASSERT_TRUE(m_table.Set(&m_first, 7, 10));
    EXPECT_EQ(m_system.started.back(), firstId);

    const TimerTable::Record* tick = m_table.FindLive(firstId);
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(tick->control, &m_first);
    EXPECT_EQ(tick->timerId, 7u);
}

TEST_F(TimerTableTest, RefusedSystemTimerLeavesNoRecordAndNoIdTaken) {
    m_system.refuseNext = true;
    EXPECT_FALSE(m_table.Set(&m_first, 1, 10));
    EXPECT_EQ(m_table.NextSystemId(), 1u);
    ASSERT_TRUE(m_table.Set(&m_first, 1, 10));
    EXPECT_EQ(m_system.started, std::vector<unsigned>{1});

    // A refused restart leaves the record killed.
    m_table.Kill(&m_first, 1);
    m_system.refuseNext = true;
    EXPECT_FALSE(m_table.Set(&m_first, 1, 10));
    EXPECT_EQ(m_table.FindLive(1), nullptr);
}

TEST_F(TimerTableTest, RemovingStopsOnlyLiveTimers) {
    ASSERT_TRUE(m_table.Set(&m_first, 1, 10));
    ASSERT_TRUE(m_table.Set(&m_first, 2, 10));
    ASSERT_TRUE(m_table.Set(&m_second, 1, 10));
    m_table.Kill(&m_first, 2);
    // The fake fails the test if a stopped id was not running.
    m_table.RemoveAllOf(&m_first);
    EXPECT_EQ(m_system.running, (std::set<unsigned>{3}));
    EXPECT_FALSE(m_table.Kill(&m_first, 1));
    m_table.RemoveAll();
    EXPECT_TRUE(m_system.running.empty());
    EXPECT_EQ(m_table.FindLive(3), nullptr);
}

}  // namespace
}  // namespace tessel
