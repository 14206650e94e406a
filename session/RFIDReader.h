// The reader session: a worker thread that owns the UDP endpoint for the whole
// run and, while a session is up, one TCP connection to a controller. Commands
// are framed and sent on the caller's thread (TCP while connected, otherwise
// UDP to the target or the broadcast addresses); everything received goes
// through a bounded queue to the main thread, which raises the events from it
// in slices short enough to keep the window answering its user.
#pragma once

#include "net/UKVTSocket.h"
#include "protocol/ControllerContract.h"
#include "protocol/PacketStream.h"
#include "session/MainThread.h"
#include "session/ReaderArrivals.h"
#include "session/ReaderLink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velkor {

// Where the reader's UDP traffic goes and comes from; read by Start.
struct ReaderNetSettings {
    // Destinations of discovery and of UDP commands without a target: each
    // such datagram goes to every address here (DiscoveryTargets builds them).
    std::vector<std::string> BroadcastAddresses{contract::kLimitedBroadcast};
    // The controllers' UDP port.
    uint16_t ControllerUdpPort = contract::kUdpPort;
    // Local bind of the UDP endpoint: empty address and port 0 take any
    // local address and a port the system chooses.
    std::string LocalUdpAddress;
    uint16_t LocalUdpPort = 0;
};

class TRFIDReader final : public IReaderLink {
public:
    // The state set; every transition assigns one whole value.
    enum State : uint8_t {
        rsConnectRequest = 1,
        rsConnecting = 2,
        rsConnected = 4,
        rsDisconnectRequest = 8,
    };

    static constexpr uint16_t kUdpBufferSize = 512;
    // Room in the system for a burst of discovery answers from a large fleet.
    static constexpr int kUdpSystemReceiveBuffer = 4 << 20;
    // Arrivals waiting for the main thread: a burst of answers from a fleet
    // of 10,000 fits; beyond it a flood is dropped (a few MB at most).
    static constexpr std::size_t kArrivalCapacity = 16384;

    // No thread and no socket until Start.
    explicit TRFIDReader(IMainThread& main_thread);
    // Stops the worker, joins it, closes the sockets; arrivals not raised yet are dropped.
    ~TRFIDReader() override;
    TRFIDReader(const TRFIDReader&) = delete;
    TRFIDReader& operator=(const TRFIDReader&) = delete;

    // Before Start.
    void SetNetSettings(const ReaderNetSettings& settings);
    void SetEvents(Events events) override;
    void SetKey(const std::string& key) override;
    // Opens the UDP endpoint and starts the worker; a second call does nothing.
    void Start() override;

    // Main thread. Arrivals during a wait stay queued until the main thread
    // runs its messages again.
    bool Connect(const std::string& host, int port, unsigned timeout_ms) override;
    bool Disconnect(unsigned timeout_ms) override;
    bool IsConnected() const override;

    void SendCommand(uint8_t cmd, uint8_t code, uint8_t flags) override;
    bool SendCommandData(uint8_t cmd, const std::string& data, uint8_t code,
                         uint8_t flags) override;
    void Discover() override;

    void SetUDPFlag(uint8_t flag) override;
    uint8_t UDPFlag() const override;
    void SetUDPTarget(const std::string& target) override;
    std::string UDPTarget() const override;
    // Any thread: replaces the destinations of untargeted UDP sends (a new scan
    // may take a new set of interfaces).
    void SetBroadcastAddresses(std::vector<std::string> addresses) override;
    void SetCommandAddresses(std::vector<std::string> addresses) override;

    uint8_t CurrentState() const { return state_.load(); }
    // The local UDP port in use, 0 before Start or when the bind failed.
    uint16_t LocalUdpPort() const;
    // TCP bytes received and not yet cut into packets.
    std::size_t StreamBacklog() const { return stream_backlog_.load(); }
    // The queue towards the main thread (its high-water mark and drops).
    const ArrivalQueue& Arrivals() const { return arrivals_; }

private:
    void Run();
    int Round();
    int StateStep();
    void OpenSession();
    void CloseSession();
    void OnDatagramReceived(const std::string& data, const std::string& from_ip, uint16_t port);
    void OnStreamChunk(const std::string& chunk);
    // Queues the packet just decoded (with its datagram, when it came by UDP).
    void QueuePacket(const eproto_header& header, std::optional<TRFIDReaderDatagram> datagram);
    void Queue(ReaderArrival arrival, bool mustKeep = false);
    // Main thread: raises the queued arrivals for one slice of time, then
    // hands the rest to a later message so that input is handled in between.
    void DrainArrivals();
    void Raise(const ReaderArrival& arrival) const;
    void ReportDrops(bool queueEmpty);
    // Queue empty after drops: posts OnCaughtUp with their total.
    void ReportCaughtUp();
    void Send(uint8_t cmd, std::string_view data, uint8_t code, uint8_t flags);
    void ReportSend(const TRFIDReaderPacket& packet, bool tcp, std::string to, bool ok) const;
    // Waits up to `timeout_ms` for `done`.
    template <typename Done> bool WaitFor(unsigned timeout_ms, Done done);
    void Wake();
    std::string Key() const;

    IMainThread& main_thread_;
    ReaderNetSettings settings_;
    Events events_;
    // Posted drains run only while it lives.
    std::shared_ptr<TRFIDReader*> lifetime_ = std::make_shared<TRFIDReader*>(this);
    ArrivalQueue arrivals_{kArrivalCapacity};
    std::chrono::steady_clock::time_point last_drop_report_{}; // main thread
    std::size_t dropped_since_empty_ = 0;                      // main thread

    mutable std::mutex fields_mutex_; // the fields below up to port_
    std::string key_;
    std::string udp_target_;
    std::vector<std::string> broadcast_addresses_;
    std::vector<std::string> command_addresses_;
    std::string host_;
    int port_ = 0;
    std::atomic<uint8_t> udp_flag_{3};
    std::atomic<uint8_t> state_{0};
    std::atomic<bool> session_failed_{false}; // the current session's socket reported an error

    // Worker state.
    PacketStream stream_;
    std::atomic<std::size_t> stream_backlog_{0};

    std::unique_ptr<TKVT_UDPSocket> udp_; // from Start to destruction
    mutable std::mutex tcp_mutex_;        // guards the tcp_ reference against senders
    std::unique_ptr<TKVT_TCPSocket> tcp_;

    std::mutex wake_mutex_;
    std::condition_variable wake_cv_;
    bool wake_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace velkor
