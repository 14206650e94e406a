// The Qt main-thread bridge: order of posted tasks, the reader's synchronised
// calls from a worker and their release when closed, waits that keep
// processing, timers.
#include "tests/qt/QtTests.h"

#include "session/SynchronizedCaller.h"
#include "ui/qt/QtMainThread.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <future>
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

void QtMainThreadTest::synchronisedCallWaitsForTheGuiThread() {
    QtMainThread bridge;
    SynchronizedCaller caller(bridge);
    std::atomic<bool> ran{false};
    std::atomic<bool> returned{false};
    bool ranOnGui = false;
    std::thread worker([&] {
        const bool result = caller.Call([&] {
            ranOnGui = QThread::currentThread() == qApp->thread();
            ran = true;
        });
        QVERIFY(result);
        QVERIFY(ran); // the call returns only after the task ran
        returned = true;
    });
    std::this_thread::sleep_for(50ms);
    QVERIFY(!ran); // the GUI thread has not processed anything yet
    QVERIFY(!returned);
    QTRY_VERIFY(returned);
    worker.join();
    QVERIFY(ranOnGui);
}

void QtMainThreadTest::closeReleasesAWaitingCallWithoutRunningIt() {
    QtMainThread bridge;
    SynchronizedCaller caller(bridge);
    std::atomic<bool> ran{false};
    std::promise<bool> result;
    std::thread worker([&] { result.set_value(caller.Call([&] { ran = true; })); });
    std::this_thread::sleep_for(50ms); // the worker now waits for the GUI thread
    caller.Close();
    auto answer = result.get_future();
    QVERIFY(answer.wait_for(2s) == std::future_status::ready);
    QCOMPARE(answer.get(), false);
    worker.join();
    bridge.ProcessMessages(); // the posted call finds itself cancelled
    QVERIFY(!ran);

    // Later calls are refused at once.
    std::thread late([&] { QVERIFY(!caller.Call([&] { ran = true; })); });
    late.join();
    bridge.ProcessMessages();
    QVERIFY(!ran);
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
