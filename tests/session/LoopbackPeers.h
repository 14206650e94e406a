// Small loopback peers for the reader tests: a TCP listener that plays a
// controller byte by byte, and a UDP listener that catches what the reader
// sends. Every wait is bounded.
#pragma once

#include "net/SocketPlatform.h"
#include "net/UKVTSocket.h"
#include "protocol/PacketBytes.h" // EncodePacket, for the tests that include this

#include <chrono>
#include <string>

namespace velkor {

// A packet whose data is `payload` enciphered with `key`.
std::string EncodeSealedPacket(uint8_t cmd, const std::string& payload, const std::string& key);

class LoopbackTcpPeer {
public:
    LoopbackTcpPeer(); // listens on 127.0.0.1, a port the system chooses
    ~LoopbackTcpPeer();
    LoopbackTcpPeer(const LoopbackTcpPeer&) = delete;
    LoopbackTcpPeer& operator=(const LoopbackTcpPeer&) = delete;

    uint16_t Port() const { return port_; }
    // Accepts the reader's connection.
    bool Accept(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends all of `bytes`, waiting while the reader's side is full.
    bool Send(const std::string& bytes,
              std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Closes the connection: the reader sees the peer leave.
    void Close();
    // Reads until `count` bytes have arrived or the time-out passes.
    std::string Receive(std::size_t count,
                        std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Discards what arrives until the reader closes the connection.
    bool WaitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    sockplat::SocketHandle listener_ = sockplat::kNoSocket;
    sockplat::SocketHandle connection_ = sockplat::kNoSocket;
    uint16_t port_ = 0;
};

// A UDP socket on 0.0.0.0 that shares its port, so that it also receives
// datagrams sent to 127.255.255.255.
class UdpListener {
public:
    UdpListener();
    uint16_t Port() const { return socket_.BoundPort(); }
    // The next datagram, or empty when none comes in time.
    std::string Next(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends from this socket.
    int SendTo(const std::string& bytes, uint16_t port, const std::string& host = "127.0.0.1");
    std::string last_from;

private:
    TKVT_UDPSocket socket_;
    std::string last_;
};

} // namespace velkor
