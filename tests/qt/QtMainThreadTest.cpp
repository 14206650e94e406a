// The Qt main-thread bridge: order of posted tasks, also from a worker, waits
// that keep processing, timers.
#include "tests/qt/QtTests.h"

#include "ui/qt/QtMainThread.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <thread>
#include <vector>

namespace velkor {

using namespace std::chrono_literals;

void QtMainThreadTest::postedTasksRunInOrderOnTheGuiThread() {
    QtMainThread bridge;
    std::vector<int> order;
    std::vector<bool> onGui;
    auto task = [&](int n) {
        return [&, n] {
            order.push_back(n);
            onGui.push_back(QThread::currentThread() == qApp->thread());
        };
    };
    bridge.Post(task(1));
    std::thread worker([&] {
        bridge.Post(task(2));
        bridge.Post(task(3));
    });
    worker.join();
    bridge.Post(task(4));
    QVERIFY(order.empty()); // nothing runs before messages are processed
    bridge.ProcessMessages();
    QCOMPARE(order, (std::vector<int>{1, 2, 3, 4}));
    QVERIFY(std::ranges::all_of(onGui, [](bool gui) { return gui; }));
}

void QtMainThreadTest::waitKeepsProcessingMessages() {
    QtMainThread bridge;
    bool ran = false;
    std::thread worker([&] { bridge.Post([&] { ran = true; }); });
    worker.join();
    QElapsedTimer clock;
    clock.start();
    bridge.ProcessMessagesFor(80ms);
    QVERIFY(ran);
    QVERIFY(clock.elapsed() >= 75);
}

void QtMainThreadTest::timersTickUntilStoppedEvenFromTheirOwnTick() {
    QtMainThread bridge;
    int ticks = 0;
    IMainThread::TimerId id = 0;
    id = bridge.StartTimer(5ms, [&] {
        if (++ticks == 3) {
            bridge.StopTimer(id);
        }
    });
    QTRY_COMPARE(ticks, 3);
    QTest::qWait(50);
    QCOMPARE(ticks, 3);
    bridge.StopTimer(id); // a second stop is harmless
    bridge.StopTimer(12345);
}

} // namespace velkor
