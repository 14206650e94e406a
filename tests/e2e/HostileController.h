// A controller gone wrong, for the flood test: it listens on 127.0.0.1,
// accepts one TCP connection and, once told, sends input-state packets as
// fast as the connection takes them for a set time. All along it reads what
// the configurator sends and counts the packets by command. Every wait of its
// thread is bounded.
#pragma once

#include "protocol/PacketStream.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

namespace velkor::e2e {

class HostileController {
public:
    // Listens on a port the system chooses; the thread waits up to
    // `acceptTimeout` for the connection.
    explicit HostileController(std::chrono::milliseconds acceptTimeout = std::chrono::seconds(10));
    // Ends the thread and closes the sockets.
    ~HostileController();
    HostileController(const HostileController&) = delete;
    HostileController& operator=(const HostileController&) = delete;

    // 0 when the listener could not be opened.
    uint16_t Port() const { return port_; }
    bool Connected() const { return connected_.load(); }
    // Starts sending for `duration`; afterwards it only reads.
    void Flood(std::chrono::milliseconds duration);
    bool Flooding() const { return flooding_.load(); }
    bool FloodEnded() const { return floodEnded_.load(); }
    std::size_t PacketsSent() const { return packetsSent_.load(); }
    // Packets received with this command, from the connection's start.
    std::size_t Received(uint8_t cmd) const { return received_[cmd].load(); }

private:
    void Run(std::chrono::milliseconds acceptTimeout);
    bool Accept(std::chrono::milliseconds timeout);
    // One round: reads what is there, sends what fits; false when the
    // connection is gone.
    bool Round(bool sending);

    const std::string chunk_; // packets sent over and over
    std::size_t offset_ = 0;  // where the next send starts in chunk_
    PacketStream stream_;     // what the configurator sent
    int listener_ = -1;
    int connection_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> connected_{false};
    std::atomic<bool> flooding_{false};
    std::atomic<bool> floodEnded_{false};
    std::atomic<long long> floodMs_{0};
    std::atomic<std::size_t> packetsSent_{0};
    std::array<std::atomic<std::size_t>, 256> received_{};
    std::thread thread_;
};

} // namespace velkor::e2e
