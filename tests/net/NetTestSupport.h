// Helpers for the transport tests: a TCP peer on 127.0.0.1 built on the
// platform layer, bounded polling, and the facts that differ between systems.
#pragma once

#include "net/SocketPlatform.h"
#include "net/UKVTSocket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velkor {

namespace nettest {

using namespace std::chrono_literals;

inline constexpr const char* kLoopback = "127.0.0.1";

// Calls step() until done() holds or the time runs out; returns done().
bool WaitFor(const std::function<bool()>& done, const std::function<void()>& step,
             std::chrono::milliseconds limit = 10s);
// Polls the socket until done() holds or the time runs out.
bool PollUntil(TKVT_TCPSocket& socket, const std::function<bool()>& done,
               std::chrono::milliseconds limit = 10s);

// The peer's end of one accepted connection, non-blocking.
class PeerConnection {
public:
    explicit PeerConnection(sockplat::SocketHandle socket) : socket_(socket) {}
    ~PeerConnection() { Close(); }
    PeerConnection(const PeerConnection&) = delete;
    PeerConnection& operator=(const PeerConnection&) = delete;

    bool Valid() const { return socket_ != sockplat::kNoSocket; }
    bool SendAll(std::string_view bytes);
    // Whatever arrives until `count` bytes are in or the time runs out.
    std::string ReceiveUpTo(std::size_t count, std::chrono::milliseconds limit = 10s);
    // Receives what is waiting now, without waiting.
    std::string ReceiveAvailable();
    // Waits (bounded) until the other side ends the connection, collecting
    // what arrives before the end.
    bool WaitForEnd(std::string& received, std::chrono::milliseconds limit = 10s);
    void Close();
    // Closes with a reset instead of an orderly end.
    void Reset();

private:
    sockplat::SocketHandle socket_;
};

// A listening socket on 127.0.0.1 with a port of the system's choice.
class LoopbackListener {
public:
    LoopbackListener();
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    uint16_t Port() const { return port_; }
    // Waits (bounded) for one connection; invalid when none came.
    sockplat::SocketHandle Accept(std::chrono::milliseconds limit = 10s);

private:
    sockplat::SocketHandle socket_;
    uint16_t port_ = 0;
};

// A port on 127.0.0.1 where nothing listens (bound once, then released).
uint16_t UnusedPort();

// The system's code for a connection refused and a connection reset by the peer.
int ConnectionRefusedCode();
int ConnectionResetCode();
// Wine reports a reset by the peer as an orderly close.
bool RunningUnderWine();
// Only loopback interfaces: a namespace of our own, where no datagram can leave.
bool NetworkIsIsolated();

} // namespace nettest

} // namespace velkor
