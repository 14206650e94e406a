// "Scan" against a fleet of simulated controllers on loopback that all answer
// within 100 ms, through the real window (offscreen). It reports the time
// from the click to the last list entry, how many were listed, and the
// longest pause of the window's event loop meanwhile (a 5 ms timer measures
// it), so a window that freezes while the answers arrive shows up here.
// The baseline, in the same run, is a bare UDP socket that sends the same
// discovery request and drains the answers: the window should list them in
// about the time the fleet needs to send them.
#include "protocol/ControllerContract.h"
#include "protocol/PacketBytes.h"
#include "tools/SimulatedFleet.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtSettingsStore.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace velkor {

namespace {

constexpr const char* kLoopbackBroadcast = "127.255.255.255";
constexpr int kAnswerWindowMs = 100;
constexpr qint64 kScanTimeoutMs = 60000;
// Targets: the window lists the fleet within this many times the bare
// socket's time, and its event loop never pauses this long.
constexpr double kTargetRatio = 3.0;
constexpr qint64 kTargetPauseMs = 16;

// What the runs measured, for the summary after them.
struct Figures {
    std::vector<double> bareMs;
    std::vector<double> windowMs;
    qint64 longestPauseMs = 0;
};
Figures figures;

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::unique_ptr<sim::SimulatedFleet> StartFleet(std::size_t count) {
    sim::FleetOptions options;
    options.count = count;
    options.first_address = "127.1.0.1";
    options.udp_port = 0;
    options.tcp_port = 0;
    options.discovery_jitter = std::chrono::milliseconds(kAnswerWindowMs);
    auto fleet = std::make_unique<sim::SimulatedFleet>(options);
    std::string error;
    if (!fleet->Start(&error)) {
        return nullptr;
    }
    return fleet;
}

// The window: click "Scan", process events until every controller is listed.
void BM_WindowScan(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    auto fleet = StartFleet(count);
    if (!fleet) {
        state.SkipWithError("the fleet did not start");
        return;
    }
    VelkorOptions options;
    options.BroadcastAddress = kLoopbackBroadcast;
    options.ControllerUdpPort = fleet->UdpPort();
    QTemporaryDir settings;
    Configurator app(options, std::make_unique<QtSettingsStore>(settings.filePath("velkor.ini")));
    if (!app.Start()) {
        state.SkipWithError("the window did not start");
        return;
    }
    QAbstractItemModel* rows = app.Window().DeviceList()->model();
    auto* scan = app.Window().findChild<QPushButton*>("btnScan");

    int listed = 0;
    qint64 longestPauseMs = 0;
    int ticks = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 lastTick = 0;
        longestPauseMs = 0;
        QTimer ticker;
        ticker.setInterval(5);
        ticks = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            ++ticks;
            longestPauseMs = std::max(longestPauseMs, clock.elapsed() - lastTick);
            lastTick = clock.elapsed();
        });
        // "Scan" empties the list; the view shows that as a reset, possibly in
        // the same refresh as the first answers of the new scan.
        bool emptied = false;
        const auto reset =
            QObject::connect(rows, &QAbstractItemModel::modelReset, [&] { emptied = true; });
        clock.start();
        ticker.start();
        scan->click();
        while ((!emptied || rows->rowCount() < static_cast<int>(count)) &&
               clock.elapsed() < kScanTimeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.SetIterationTime(static_cast<double>(clock.elapsed()) / 1000.0);
        figures.windowMs.push_back(static_cast<double>(clock.elapsed()));
        figures.longestPauseMs = std::max(figures.longestPauseMs, longestPauseMs);
        QObject::disconnect(reset);
        listed = rows->rowCount();
        std::fprintf(stderr, "scan: %d listed in %lld ms, %d ticks, longest pause %lld ms\n",
                     listed, static_cast<long long>(clock.elapsed()), ticks,
                     static_cast<long long>(longestPauseMs));
    }
    state.counters["listed"] = listed;
    state.counters["longest_pause_ms"] = static_cast<double>(longestPauseMs);
    state.counters["timer_ticks"] = ticks;
    if (listed != static_cast<int>(count)) {
        state.SkipWithError("not every controller was listed");
    }
}

// The baseline: one socket sends the request and drains the answers.
void BM_BareSocketScan(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    auto fleet = StartFleet(count);
    if (!fleet) {
        state.SkipWithError("the fleet did not start");
        return;
    }
    const int sock = socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    const int buffer = 8 << 20;
    setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    timeval wait{0, 200000};
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(fleet->UdpPort());
    inet_pton(AF_INET, kLoopbackBroadcast, &to.sin_addr);
    const std::string request = EncodePacket(contract::kDiscover, {}, 1);

    std::size_t answers = 0;
    for (auto _ : state) {
        answers = 0;
        const auto start = std::chrono::steady_clock::now();
        sendto(sock, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof to);
        char datagram[512];
        while (answers < count && recv(sock, datagram, sizeof datagram, 0) > 0) {
            ++answers;
        }
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count() / 1000.0);
        if (answers == count) {
            figures.bareMs.push_back(took.count());
        }
    }
    close(sock);
    state.counters["listed"] = static_cast<double>(answers);
}

BENCHMARK(BM_BareSocketScan)
    ->Arg(10000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowScan)->Arg(10000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

// One line each for the two times, their ratio and the longest pause, with
// the targets beside them; false when a target was missed or nothing was measured.
bool PrintSummary() {
    const double bare = Median(figures.bareMs);
    const double window = Median(figures.windowMs);
    if (bare <= 0 || window <= 0) {
        std::fprintf(stderr, "summary: nothing to compare (a run failed)\n");
        return false;
    }
    const double ratio = window / bare;
    std::fprintf(stderr,
                 "summary: bare socket %.0f ms, window %.0f ms (medians), ratio %.2f (target "
                 "%.0f); longest event-loop pause %lld ms (target under %lld)\n",
                 bare, window, ratio, kTargetRatio, static_cast<long long>(figures.longestPauseMs),
                 static_cast<long long>(kTargetPauseMs));
    return ratio <= kTargetRatio && figures.longestPauseMs < kTargetPauseMs;
}

} // namespace velkor

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return velkor::PrintSummary() ? 0 : 1;
}
