// The window under a flood: a controller on loopback sends input-state
// packets as fast as the connection takes them for 5 s while a user clicks
// "Beep" every 100 ms. The clicks are posted from another thread, as input
// arrives from outside the window, and each one's lateness is how long after
// its posting the window served it. A posted click waits behind everything
// already queued for the window, so it is served no sooner than real input.
// Checked: clicks are served within kClickTargetMs (the median; the worst
// within kClickWorstMs, as a machine shared with compilers can stall any
// process for a while, but a window blocked by the flood misses it by far)
// and every click's packet reaches the controller, the queue between the
// reader and the window stays within its capacity and the process's memory
// within kMemoryGrowthBoundKb, the log file and its rotated copy stay under
// their cap, and the log tells how many packets were dropped.
#include "protocol/ControllerContract.h"
#include "session/RFIDReader.h"
#include "tests/e2e/HostileController.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtSettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velkor {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kFlood = 5s;
constexpr auto kClickEvery = 100ms;
// How late a click may be served. The window's own budget is far lower (a
// drain slice of 4 ms plus the dispatches it posted). The worst click gets
// ten times the target: on a busy two-core machine under AddressSanitizer a
// single click was seen 149 ms late while the median stayed at 15 ms, and a
// window frozen by the flood (the fault this guards) serves none for seconds.
constexpr long long kClickTargetMs = 100;
constexpr long long kClickWorstMs = 10 * kClickTargetMs;
constexpr uint64_t kLogCap = 256 * 1024;
// The queue holds at most a few MB; the flood itself is over 100 MB.
constexpr long kMemoryGrowthBoundKb = 64 * 1024;
constexpr qint64 kLoopLimitMs = 30000;

// The resident memory of this process in kB (0 when it cannot be read).
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

qint64 FileSize(const QString& path) {
    return QFileInfo(path).exists() ? QFileInfo(path).size() : 0;
}

} // namespace

class VelkorFloodTest : public QObject {
    Q_OBJECT

private slots:
    void clicksAreServedAndTheLogStaysCappedWhileAControllerFloodsTheWindow();
};

void VelkorFloodTest::clicksAreServedAndTheLogStaysCappedWhileAControllerFloodsTheWindow() {
    QTemporaryDir folder;
    e2e::HostileController controller;
    QVERIFY(controller.Port() != 0);
    VelkorOptions options;
    options.BroadcastAddress = "127.255.255.255"; // nothing leaves loopback
    options.LogFile = folder.filePath("traffic.log").toStdString();
    options.LogFileMaxBytes = kLogCap;
    Configurator app(options, std::make_unique<QtSettingsStore>(folder.filePath("velkor.ini")));
    QString error;
    QVERIFY2(app.Start(&error), qPrintable(error));
    QVERIFY(QTest::qWaitForWindowExposed(&app.Window()));
    QVERIFY(app.Form().ConnectTo("127.0.0.1", controller.Port()));
    // The greeting ("connected" on the display) is the only display command so far.
    QVERIFY(QTest::qWaitFor([&] { return controller.Received(contract::kDisplay) == 1; }, 5000));
    auto* reader = dynamic_cast<TRFIDReader*>(app.Form().Reader());
    QVERIFY(reader != nullptr);
    auto* beep = app.Window().findChild<QPushButton*>("btnBeep");
    QVERIFY(beep != nullptr);
    QVERIFY(QTest::qWaitFor([&] { return beep->isVisible(); }, 5000)); // the device page

    std::mutex servedMutex;
    std::vector<long long> lateMs; // of each click served, in serving order
    std::atomic<int> posted{0};
    std::atomic<bool> userDone{false};
    const auto served = [&] {
        std::lock_guard lock(servedMutex);
        return static_cast<int>(lateMs.size());
    };

    const long memoryBefore = ResidentKb();
    long memoryPeak = memoryBefore;
    qint64 logPeak = 0;
    qint64 longestPauseMs = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    QTimer ticker;
    ticker.setInterval(5);
    connect(&ticker, &QTimer::timeout, [&] {
        longestPauseMs = std::max(longestPauseMs, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    ticker.start();

    controller.Flood(kFlood);
    std::thread user([&] {
        const auto start = Clock::now();
        const int clicks = static_cast<int>(kFlood / kClickEvery) - 1;
        for (int n = 1; n <= clicks; ++n) {
            std::this_thread::sleep_until(start + n * kClickEvery);
            const auto at = Clock::now();
            QMetaObject::invokeMethod(
                beep,
                [&, at] {
                    {
                        std::lock_guard lock(servedMutex);
                        lateMs.push_back(
                            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - at)
                                .count());
                    }
                    beep->click();
                },
                Qt::QueuedConnection);
            ++posted;
        }
        userDone = true;
    });
    while ((!userDone || served() < posted || !controller.FloodEnded()) &&
           clock.elapsed() < kLoopLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        memoryPeak = std::max(memoryPeak, ResidentKb());
        logPeak = std::max({logPeak, FileSize(folder.filePath("traffic.log")),
                            FileSize(folder.filePath("traffic.log.1"))});
    }
    ticker.stop();
    user.join();
    const int clicks = posted;
    QCOMPARE(served(), clicks);

    // Every click sent its beep, and the window caught up once the flood ended.
    QVERIFY2(QTest::qWaitFor([&] { return controller.Received(contract::kDisplay) == 1u + clicks; },
                             5000),
             qPrintable(QString("beeps received: %1 of %2")
                            .arg(controller.Received(contract::kDisplay) - 1)
                            .arg(clicks)));
    QVERIFY(QTest::qWaitFor([&] { return reader->Arrivals().Empty(); }, 10000));
    QTest::qWait(200); // the dispatches the last slice posted

    std::vector<long long> late = lateMs;
    std::sort(late.begin(), late.end());
    const ArrivalQueue& queue = reader->Arrivals();
    qInfo("flood: %zu packets sent in %lld s, %zu dropped, queue high-water %zu of %zu",
          controller.PacketsSent(), static_cast<long long>(kFlood.count()), queue.DroppedTotal(),
          queue.HighWater(), queue.Capacity());
    qInfo("clicks: %d served, lateness median %lld ms, worst %lld ms (target %lld ms); longest "
          "event-loop pause %lld ms",
          clicks, late[late.size() / 2], late.back(), kClickTargetMs,
          static_cast<long long>(longestPauseMs));
    qInfo("memory: %ld kB before, peak %ld kB; log file peak %lld bytes (cap %llu)", memoryBefore,
          memoryPeak, static_cast<long long>(logPeak), static_cast<unsigned long long>(kLogCap));

    QVERIFY2(controller.PacketsSent() > 4 * queue.Capacity(), "the flood did not overflow");
    QVERIFY(queue.DroppedTotal() > 0);
    QVERIFY(queue.HighWater() <= queue.Capacity());
    QVERIFY(late[late.size() / 2] < kClickTargetMs);
    QVERIFY(late.back() < kClickWorstMs);
    QVERIFY(memoryPeak - memoryBefore < kMemoryGrowthBoundKb);
    QVERIFY(logPeak <= static_cast<qint64>(kLogCap));
    QVERIFY(QFileInfo::exists(folder.filePath("traffic.log.1"))); // it did rotate

    // The last word on screen and in the file: how many were dropped in
    // all, after the dispatches of the last packets.
    const std::string last = app.Form().memLog.Lines().back();
    const QRegularExpression caughtUp(R"(^caught up: (\d+) packets dropped in all$)");
    const QRegularExpressionMatch match = caughtUp.match(QString::fromStdString(last));
    QVERIFY2(match.hasMatch(), last.c_str());
    const qulonglong inAll = match.captured(1).toULongLong();
    QVERIFY(inAll > 0 && inAll <= queue.DroppedTotal());
    QByteArray logText; // a rotation may have come since
    for (const char* name : {"traffic.log.1", "traffic.log"}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        logText += file.readAll();
    }
    QVERIFY(logText.contains(" " + QByteArray::fromStdString(last) + "\n"));
}

} // namespace velkor

QTEST_MAIN(velkor::VelkorFloodTest)
#include "VelkorFloodTest.moc"
