// The reader session: a worker thread that owns the UDP endpoint for the whole
// run and, while a session is up, one TCP connection to a controller. Commands
// are framed and sent on the caller's thread (TCP while connected, otherwise
// UDP to the target or the broadcast address); everything received comes back
// through four events, each run on the main thread while the worker waits.
#pragma once

#include "net/UKVTSocket.h"
#include "protocol/ControllerContract.h"
#include "session/MainThread.h"
#include "session/PacketStream.h"
#include "session/ReaderLink.h"
#include "session/SynchronizedCaller.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
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

    // No thread and no socket until Start.
    explicit TRFIDReader(IMainThread& main_thread);
    // Stops the worker (a call it waits in is dropped), joins it, closes the sockets.
    ~TRFIDReader() override;
    TRFIDReader(const TRFIDReader&) = delete;
    TRFIDReader& operator=(const TRFIDReader&) = delete;

    // Before Start.
    void SetNetSettings(const ReaderNetSettings& settings);
    void SetEvents(DatagramEvent on_datagram, PacketEvent on_packet, DeviceEvent on_device,
                   ErrorEvent on_error) override;
    void SetKey(const std::string& key) override;
    // Opens the UDP endpoint and starts the worker; a second call does nothing.
    void Start() override;

    // Main thread. The waits serve this reader's pending events, so an
    // arrival during the wait does not stall the request.
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
    void SetBroadcastAddresses(std::vector<std::string> addresses);

    uint8_t CurrentState() const { return state_.load(); }
    // The local UDP port in use, 0 before Start or when the bind failed.
    uint16_t LocalUdpPort() const;
    // TCP bytes received and not yet cut into packets.
    std::size_t StreamBacklog() const { return stream_backlog_.load(); }

private:
    void Run();
    int Round();
    int StateStep();
    void OpenSession();
    void CloseSession();
    void OnDatagramReceived(const std::string& data, const std::string& from_ip, uint16_t port);
    void OnStreamChunk(const std::string& chunk);
    void DeliverPacket(const eproto_header& header);
    void Send(uint8_t cmd, std::string_view data, uint8_t code, uint8_t flags);
    // Waits up to `timeout_ms` for `done`, serving this reader's events.
    template <typename Done> bool WaitFor(unsigned timeout_ms, Done done);
    void Wake();
    std::string Key() const;

    IMainThread& main_thread_;
    SynchronizedCaller caller_;
    ReaderNetSettings settings_;

    DatagramEvent on_datagram_;
    PacketEvent on_packet_;
    DeviceEvent on_device_;
    ErrorEvent on_error_;

    mutable std::mutex fields_mutex_; // the fields below up to port_
    std::string key_;
    std::string udp_target_;
    std::vector<std::string> broadcast_addresses_;
    std::string host_;
    int port_ = 0;
    std::atomic<uint8_t> udp_flag_{3};
    std::atomic<uint8_t> state_{0};
    std::atomic<bool> session_failed_{false}; // the current session's socket reported an error

    // Worker records, lent to the events.
    TRFIDReaderDatagram datagram_;
    TRFIDReaderPacket packet_;
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
