// The machinery behind SimulatedFleet: sockets, the event loop thread and
// the controllers' state, all guarded by one mutex.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <queue>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "protocol/PacketStream.h"
#include "tools/ControllerLogic.h"
#include "tools/SimSockets.h"
#include "tools/SimulatedFleet.h"

namespace sim {

using Clock = std::chrono::steady_clock;

struct Connection {
    Fd fd;
    std::size_t controller = 0;
    velkor::PacketStream packets; // the packets cut from what the client sent
    std::string out;
    bool doomed = false; // closed at the end of the current round
};

struct Controller {
    ControllerIdentity identity;
    Fd listener;
    SettingsStore settings;
    uint8_t input_states = 0;
    std::vector<uint64_t> connections;
    std::deque<ReceivedRecord> received;
    std::size_t next_sequence = 0;
};

struct PendingAnswer {
    Clock::time_point due;
    uint32_t source = 0;
    sockaddr_in to{};
    std::string bytes;
    bool operator>(const PendingAnswer& other) const { return due > other.due; }
};

class FleetEngine {
public:
    explicit FleetEngine(FleetOptions options);
    ~FleetEngine();

    bool Start(std::string* error);
    void Stop();

    FleetOptions options;
    mutable std::mutex mutex;
    mutable std::condition_variable state_changed;
    std::vector<Controller> controllers;
    std::unordered_map<uint32_t, std::size_t> by_address;
    // Controllers by the broadcast address of their network.
    std::unordered_map<uint32_t, std::vector<std::size_t>> by_broadcast;
    std::unordered_map<uint64_t, Connection> connections;
    std::atomic<bool> running{false};
    std::atomic<long long> keep_alive_ms{0};
    std::function<void(const std::string&)> sink;
    uint16_t udp_port = 0;

    // Queues one unsolicited packet on every open connection of a controller;
    // returns how many took it. Caller holds the mutex.
    std::size_t SendToConnections(std::size_t index, const OutPacket& packet);
    void SetKeepAliveInterval(std::chrono::milliseconds interval);
    void Wake();
    // A setting was written from outside the protocol (a control command):
    // the state file gets it too. Caller holds the mutex.
    void NoteSettingWritten() { state_dirty_ = true; }

private:
    bool OpenAll(std::string* error);
    bool LoadState(std::string* error);
    void SaveState();
    void Run();
    void HandleEvent(uint64_t tag, uint32_t events);
    void DrainUdp();
    // Returns how many controllers the datagram was for.
    std::size_t HandleDatagram(const uint8_t* bytes, const Datagram& datagram);
    // The controllers a datagram to `destination` is for: the one with that
    // address, all of them for the limited broadcast, or those whose network
    // has it as its broadcast address.
    std::span<const std::size_t> Recipients(uint32_t destination) const;
    void AcceptAll(std::size_t index);
    void ReadConnection(uint64_t id);
    void WriteConnection(uint64_t id);
    bool QueueOut(uint64_t id, const std::string& bytes);
    void UpdateEvents(uint64_t id, Connection& connection);
    void SweepDoomed();
    void RunTimers(Clock::time_point now);
    int NextTimeoutMs(Clock::time_point now) const;
    void Record(Controller& controller, Transport transport, const velkor::eproto_header& header);
    Outcome Answer(Controller& controller, const velkor::eproto_header& header);
    std::string OutgoingKey() const { return options.encipher ? options.key : std::string(); }

    Fd udp_;
    Fd epoll_;
    Fd wake_;
    Fd reserve_; // given up for a moment to refuse a connection when out of descriptors
    std::thread loop_;
    std::atomic<bool> stop_requested_{false};
    uint64_t next_connection_id_ = 1;
    bool loopback_only_ = true;
    bool state_dirty_ = false;
    bool state_changed_ = false;
    Clock::time_point started_;
    Clock::time_point next_keep_alive_;
    std::priority_queue<PendingAnswer, std::vector<PendingAnswer>, std::greater<>> pending_;
    std::mt19937 random_;
    std::vector<std::string> sink_lines_;
    std::vector<std::size_t> everyone_; // 0 .. size - 1
};

} // namespace sim
