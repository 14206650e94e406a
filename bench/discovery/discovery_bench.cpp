// A fleet of simulated controllers on 127.0.0.x answers one discovery sent to
// 127.255.255.255, in a burst or spread over 100 ms. The reader's figures
// (OnDevice events against answers sent, time until the last one) stand next
// to a baseline: a bare UDP socket on the same fleet that only drains and
// counts, which shows what the socket itself loses.
#include "net/UKVTSocket.h"
#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "session/QueuedMainThread.h"
#include "session/RFIDReader.h"
#include "tools/SimulatedFleet.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace velkor {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// After the last arrival, how long to wait for stragglers.
constexpr auto kQuietEnd = 500ms;
constexpr auto kLongestRound = 20s;
constexpr const char* kLoopbackBroadcast = "127.255.255.255";

// The fleet of a run: state.range(0) controllers answering within
// state.range(1) ms; the run is skipped when it does not start.
std::unique_ptr<sim::SimulatedFleet> StartFleet(benchmark::State& state) {
    sim::FleetOptions options;
    options.count = static_cast<std::size_t>(state.range(0));
    options.first_address = "127.0.0.2";
    options.udp_port = 0;
    options.tcp_port = 0;
    options.discovery_jitter = std::chrono::milliseconds(state.range(1));
    auto fleet = std::make_unique<sim::SimulatedFleet>(options);
    std::string error;
    if (!fleet->Start(&error)) {
        state.SkipWithError("the fleet did not start");
        return nullptr;
    }
    return fleet;
}

struct RoundResult {
    std::size_t received = 0;
    double last_ms = 0;
};

void Report(benchmark::State& state, std::size_t sent, const RoundResult& result) {
    state.counters["sent"] = static_cast<double>(sent);
    state.counters["received"] = static_cast<double>(result.received);
    state.counters["lost"] = static_cast<double>(sent - result.received);
    state.counters["last_ms"] = result.last_ms;
}

// The reader: OnDevice events on a queued main thread.
void BM_ReaderDiscovery(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const auto spread = std::chrono::milliseconds(state.range(1));
    auto fleet = StartFleet(state);
    if (!fleet) {
        return;
    }
    QueuedMainThread main;
    TRFIDReader reader(main);
    ReaderNetSettings settings;
    settings.BroadcastAddresses = {kLoopbackBroadcast};
    settings.ControllerUdpPort = fleet->UdpPort();
    settings.LocalUdpAddress = "127.0.0.1";
    reader.SetNetSettings(settings);
    std::size_t devices = 0;
    Clock::time_point last;
    IReaderLink::Events events;
    events.OnDevice = [&](const DiscoveryAnswer&) {
        ++devices;
        last = Clock::now();
    };
    reader.SetEvents(std::move(events));
    reader.Start();

    RoundResult result;
    for (auto _ : state) {
        devices = 0;
        const auto start = Clock::now();
        last = start;
        reader.Discover();
        main.ProcessUntil(
            [&] {
                const auto now = Clock::now();
                return devices == count || (now - last > kQuietEnd && now - start > spread);
            },
            kLongestRound);
        result.received = devices;
        result.last_ms = std::chrono::duration<double, std::milli>(last - start).count();
        // Stragglers of this round must not count in the next one.
        main.ProcessMessagesFor(100ms);
    }
    Report(state, count, result);
}

// The baseline: a bare socket that drains until empty, then sleeps 1 ms.
void BM_BareSocketDiscovery(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const auto spread = std::chrono::milliseconds(state.range(1));
    auto fleet = StartFleet(state);
    if (!fleet) {
        return;
    }
    TKVT_UDPSocket socket;
    socket.LocalAddress = "127.0.0.1";
    socket.SetBufferSize(512);
    std::size_t answers = 0;
    Clock::time_point last;
    socket.OnRead = [&](const std::string&, const std::string&, uint16_t) {
        ++answers;
        last = Clock::now();
    };
    socket.Open();
    const std::string discover = eproto_hex_to_bytes("2A07000003003000"); // flags 3

    RoundResult result;
    for (auto _ : state) {
        answers = 0;
        const auto start = Clock::now();
        last = start;
        socket.SendToHost(discover, kLoopbackBroadcast, fleet->UdpPort());
        for (;;) {
            while (socket.Receive() > 0) {
            }
            const auto now = Clock::now();
            if (answers == count || (now - last > kQuietEnd && now - start > spread) ||
                now - start > kLongestRound) {
                break;
            }
            std::this_thread::sleep_for(1ms);
        }
        result.received = answers;
        result.last_ms = std::chrono::duration<double, std::milli>(last - start).count();
        std::this_thread::sleep_for(100ms);
        while (socket.Receive() > 0) {
        }
    }
    Report(state, count, result);
}

void FleetSizes(benchmark::internal::Benchmark* bench) {
    for (int64_t count : {1000, 10000}) {
        for (int64_t spread_ms : {0, 100}) {
            bench->Args({count, spread_ms});
        }
    }
    bench->ArgNames({"controllers", "spread_ms"})->Iterations(3)->Unit(benchmark::kMillisecond);
    bench->UseRealTime();
}

} // namespace

BENCHMARK(BM_BareSocketDiscovery)->Apply(FleetSizes);
BENCHMARK(BM_ReaderDiscovery)->Apply(FleetSizes);

} // namespace velkor

BENCHMARK_MAIN();
