// The notification queue without a window: delivery order, the queue drained in order, one drain
// request until the drain, removed controls deleted by the drain and not before.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/ControlUI.h"
#include "ui/NotificationQueue.h"

namespace tessel {
namespace {

// Writes "<name>:<type>" into a shared log.
class LoggingNotifier final : public INotifyUI {
public:
    LoggingNotifier(std::wstring name, std::vector<std::wstring>& log)
        : m_name(std::move(name)), m_log(log) {}
    void Notify(NotifyRecord& notification) override {
        m_log.push_back(m_name + L":" + notification.type);
        if (onNotify) {
            onNotify(notification);
        }
    }
    std::function<void(NotifyRecord&)> onNotify;

private:
    std::wstring m_name;
    std::vector<std::wstring>& m_log;
};

// Logs its own deletion.
class MortalControl final : public CControlUI {
public:
    explicit MortalControl(std::vector<std::wstring>& log) : m_log(log) {}
    ~MortalControl() override { m_log.push_back(L"deleted"); }

private:
    std::vector<std::wstring>& m_log;
};

NotifyRecord Notification(std::wstring type, CControlUI* sender = nullptr) {
    NotifyRecord record;
    record.type = std::move(type);
    record.sender = sender;
    return record;
}

class NotificationQueueTest : public ::testing::Test {
protected:
    std::vector<std::wstring> m_log;
    int m_drainRequests = 0;
    bool m_canRequest = true;
    NotificationQueue m_queue{[this] {
        ++m_drainRequests;
        return m_canRequest;
    }};
    LoggingNotifier m_first{L"first", m_log};
    LoggingNotifier m_second{L"second", m_log};
};

TEST_F(NotificationQueueTest, SenderListenersHearFirstThenNotifiersInTheOrderAdded) {
    CControlUI sender;
    sender.AddNotifyListener([&](NotifyRecord& n) { m_log.push_back(L"listener:" + n.type); });
    m_queue.AddNotifier(&m_second);
    m_queue.AddNotifier(&m_first);
    m_queue.AddNotifier(&m_second);
    NotifyRecord click = Notification(L"click", &sender);
    m_queue.Deliver(click);
    EXPECT_EQ(m_log,
              (std::vector<std::wstring>{L"listener:click", L"second:click", L"first:click"}));
    EXPECT_EQ(m_drainRequests, 0) << "immediate delivery asks for no drain";
}

TEST_F(NotificationQueueTest, NotifierRemovingItselfWhileToldLetsTheOthersHearIt) {
    m_queue.AddNotifier(&m_first);
    m_queue.AddNotifier(&m_second);
    m_first.onNotify = [&](NotifyRecord&) { m_queue.RemoveNotifier(&m_first); };
    NotifyRecord once = Notification(L"once");
    m_queue.Deliver(once);
    NotifyRecord twice = Notification(L"twice");
    m_queue.Deliver(twice);
    EXPECT_EQ(m_log, (std::vector<std::wstring>{L"first:once", L"second:once", L"second:twice"}));
}

TEST_F(NotificationQueueTest, QueuedNotificationsWaitForOneDrainAndArriveInOrder) {
    m_queue.AddNotifier(&m_first);
    for (const wchar_t* type : {L"a", L"b", L"c"}) {
        m_queue.Enqueue(Notification(type));
    }
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_drainRequests, 1) << "one request serves every notification before the drain";

    // A handler's own queued notification is delivered by the same drain, after the others.
    m_first.onNotify = [&](NotifyRecord& n) {
        if (n.type == L"a") {
            m_queue.Enqueue(Notification(L"from-a"));
        }
    };
    m_queue.Drain();
    EXPECT_EQ(m_log,
              (std::vector<std::wstring>{L"first:a", L"first:b", L"first:c", L"first:from-a"}));
    EXPECT_EQ(m_drainRequests, 2) << "the drain had begun: the handler's notification asked again";

    m_log.clear();
    m_queue.Drain();
    EXPECT_TRUE(m_log.empty());
}

TEST_F(NotificationQueueTest, UnansweredDrainRequestIsAskedAgainNextTime) {
    m_canRequest = false;
    m_queue.Enqueue(Notification(L"a"));
    m_canRequest = true;
    m_queue.Enqueue(Notification(L"b"));
    m_queue.Enqueue(Notification(L"c"));
    EXPECT_EQ(m_drainRequests, 2);
}

TEST_F(NotificationQueueTest, RemovedControlsAreDeletedByTheDrainBeforeQueuedDelivery) {
    m_queue.AddNotifier(&m_first);
    auto removed = std::make_unique<MortalControl>(m_log);
    CControlUI* removedAddress = removed.get();
    m_queue.Enqueue(Notification(L"late", removedAddress));
    m_queue.ForgetSender(removedAddress);
    m_queue.AddDelayedCleanup(std::move(removed));
    EXPECT_TRUE(m_log.empty()) << "nothing is deleted before the drain";
    EXPECT_EQ(m_drainRequests, 1);

    std::vector<CControlUI*> senders;
    m_first.onNotify = [&](NotifyRecord& n) { senders.push_back(n.sender); };
    m_queue.Drain();
    EXPECT_EQ(m_log, (std::vector<std::wstring>{L"deleted", L"first:late"}));
    EXPECT_EQ(senders, std::vector<CControlUI*>{nullptr}) << "a forgotten sender is not reached";
}

TEST_F(NotificationQueueTest, ControlsRemovedWhileDeletingWaitForTheNextDrain) {
    // Hands a control of its own to the queue while it is being deleted.
    class HandingOver final : public CControlUI {
    public:
        HandingOver(NotificationQueue& queue, std::unique_ptr<CControlUI> kept)
            : m_queue(queue), m_kept(std::move(kept)) {}
        ~HandingOver() override { m_queue.AddDelayedCleanup(std::move(m_kept)); }

    private:
        NotificationQueue& m_queue;
        std::unique_ptr<CControlUI> m_kept;
    };
    m_queue.AddDelayedCleanup(
        std::make_unique<HandingOver>(m_queue, std::make_unique<MortalControl>(m_log)));
    m_queue.Drain();
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_drainRequests, 2) << "the handed-over control asked for a drain of its own";
    m_queue.Drain();
    EXPECT_EQ(m_log, std::vector<std::wstring>{L"deleted"});
}

}  // namespace
}  // namespace tessel
