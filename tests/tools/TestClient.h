// A minimal controller client for the simulator tests: real loopback
// sockets, packets built and checked with the protocol library.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "tools/SimSockets.h"

namespace simtest {

struct Packet {
    uint8_t cmd = 0;
    uint8_t flags = 0;
    uint8_t code = 0;
    std::string data;
};

std::string Encode(const Packet& packet);
// Decodes one whole packet from the front of `bytes`; nothing if invalid.
std::optional<Packet> Decode(const std::string& bytes, std::size_t* used = nullptr);
// TLV items of a discovery answer by tag; nothing when the list is malformed.
std::optional<std::map<uint8_t, std::string>> DiscoveryItems(const std::string& data);

struct Reply {
    Packet packet;
    std::string from_address;
    uint16_t from_port = 0;
};

class UdpClient {
public:
    UdpClient(); // bound to 0.0.0.0 on a free port, broadcast allowed
    bool SendTo(const std::string& address, uint16_t port, const std::string& bytes);
    std::optional<Reply> Receive(std::chrono::milliseconds timeout);

private:
    sim::Fd fd_;
};

class TcpClient {
public:
    bool Connect(const std::string& address, uint16_t port);
    bool Send(const std::string& bytes);
    std::optional<Packet> ReadPacket(std::chrono::milliseconds timeout);
    // True when the peer closed the connection within the time-out.
    bool WaitClosed(std::chrono::milliseconds timeout);
    int fd() const { return fd_.get(); }

private:
    sim::Fd fd_;
    std::string pending_;
};

} // namespace simtest
