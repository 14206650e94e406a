#include "session/QueuedMainThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace velkor {

using namespace std::chrono_literals;

namespace {

// Waits, without processing, until another thread has queued something.
bool WaitUntilQueued(const QueuedMainThread& main) {
    for (int i = 0; i < 5000 && main.PendingCount() == 0; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    return main.PendingCount() > 0;
}

} // namespace

TEST(QueuedMainThread, PostedTasksRunInOrderAndOnlyThosePendingAtTheCall) {
    QueuedMainThread main;
    std::vector<int> order;
    main.Post([&] {
        order.push_back(1);
        main.Post([&] { order.push_back(3); });
    });
    main.Post([&] { order.push_back(2); });
    EXPECT_EQ(main.PendingCount(), 2u);
    main.ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    main.ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(QueuedMainThread, TasksPostedByAnotherThreadWaitForTheMainThreadAndRunThere) {
    QueuedMainThread main;
    std::atomic<bool> ran{false};
    std::thread::id ran_on;
    std::thread worker([&] {
        main.Post([&] {
            ran_on = std::this_thread::get_id();
            ran = true;
        });
    });
    worker.join();
    ASSERT_TRUE(WaitUntilQueued(main));
    EXPECT_FALSE(ran.load()); // nobody processed the queue yet
    ASSERT_TRUE(main.ProcessUntil([&] { return ran.load(); }, 5s));
    EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TEST(QueuedMainThread, ManualClockFiresTimersInTimeOrderAndStopsThem) {
    QueuedMainThread main(QueuedMainThread::Clock::Manual);
    const auto start = main.Now();
    std::vector<std::pair<char, long>> fired;
    auto at = [&] {
        return static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(main.Now() - start).count());
    };
    QueuedMainThread::TimerId slow = 0;
    main.StartTimer(100ms, [&] { fired.emplace_back('a', at()); });
    slow = main.StartTimer(250ms, [&] {
        fired.emplace_back('b', at());
        main.StopTimer(slow);
    });
    main.ProcessMessages(); // no time passes: nothing is due
    EXPECT_TRUE(fired.empty());
    main.ProcessMessagesFor(550ms);
    const std::vector<std::pair<char, long>> expected{{'a', 100}, {'a', 200}, {'b', 250},
                                                      {'a', 300}, {'a', 400}, {'a', 500}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(at(), 550);
}

TEST(QueuedMainThread, SteadyWaitServesTasksPostedWhileItWaits) {
    QueuedMainThread main;
    std::atomic<int> served{0};
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(5ms);
            main.Post([&] { ++served; });
        }
    });
    int ticks = 0;
    main.StartTimer(20ms, [&] { ++ticks; });
    main.ProcessMessagesFor(150ms);
    worker.join();
    EXPECT_EQ(served.load(), 3);
    EXPECT_GE(ticks, 1);
}

} // namespace velkor
