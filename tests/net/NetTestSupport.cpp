#include "tests/net/NetTestSupport.h"

#include <thread>

namespace velkor {

namespace nettest {

bool WaitFor(const std::function<bool()>& done, const std::function<void()>& step,
             std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        step();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

bool PollUntil(TKVT_TCPSocket& socket, const std::function<bool()>& done,
               std::chrono::milliseconds limit) {
    return WaitFor(
        done, [&] { socket.Poll(); }, limit);
}

bool PeerConnection::SendAll(std::string_view bytes) {
    bool progress = true;
    return WaitFor([&] { return bytes.empty() || !progress; },
                   [&] {
                       const int sent = sockplat::Send(socket_, bytes.data(), bytes.size());
                       if (sent > 0) {
                           bytes.remove_prefix(static_cast<std::size_t>(sent));
                       } else if (sent < 0 && !sockplat::IsWouldBlock(sockplat::LastError())) {
                           progress = false;
                       }
                   }) &&
           bytes.empty();
}

std::string PeerConnection::ReceiveUpTo(std::size_t count, std::chrono::milliseconds limit) {
    std::string received;
    WaitFor([&] { return received.size() >= count; }, [&] { received += ReceiveAvailable(); },
            limit);
    return received;
}

std::string PeerConnection::ReceiveAvailable() {
    std::string received;
    char buffer[65536];
    int count;
    while ((count = sockplat::Receive(socket_, buffer, sizeof buffer)) > 0) {
        received.append(buffer, static_cast<std::size_t>(count));
    }
    return received;
}

bool PeerConnection::WaitForEnd(std::string& received, std::chrono::milliseconds limit) {
    bool ended = false;
    return WaitFor([&] { return ended; },
                   [&] {
                       char buffer[65536];
                       const int count = sockplat::Receive(socket_, buffer, sizeof buffer);
                       if (count > 0) {
                           received.append(buffer, static_cast<std::size_t>(count));
                       } else if (count == 0 || !sockplat::IsWouldBlock(sockplat::LastError())) {
                           ended = true;
                       }
                   },
                   limit);
}

void PeerConnection::Close() {
    if (socket_ != sockplat::kNoSocket) {
        sockplat::CloseSocket(socket_);
        socket_ = sockplat::kNoSocket;
    }
}

void PeerConnection::Reset() {
    sockplat::SetAbortiveClose(socket_);
    Close();
}

LoopbackListener::LoopbackListener() : socket_(sockplat::OpenStream()) {
    const uint32_t ip = *KVT_ParseIPv4NetworkOrder(kLoopback);
    if (socket_ != sockplat::kNoSocket && sockplat::Bind(socket_, ip, 0) &&
        sockplat::Listen(socket_) && sockplat::SetNonBlocking(socket_)) {
        port_ = sockplat::BoundPort(socket_);
    }
}

LoopbackListener::~LoopbackListener() {
    if (socket_ != sockplat::kNoSocket) {
        sockplat::CloseSocket(socket_);
    }
}

sockplat::SocketHandle LoopbackListener::Accept(std::chrono::milliseconds limit) {
    sockplat::SocketHandle accepted = sockplat::kNoSocket;
    WaitFor([&] { return accepted != sockplat::kNoSocket; },
            [&] { accepted = sockplat::Accept(socket_); }, limit);
    if (accepted != sockplat::kNoSocket) {
        sockplat::SetNonBlocking(accepted);
    }
    return accepted;
}

uint16_t UnusedPort() {
    const sockplat::SocketHandle socket = sockplat::OpenStream();
    sockplat::Bind(socket, *KVT_ParseIPv4NetworkOrder(kLoopback), 0);
    const uint16_t port = sockplat::BoundPort(socket);
    sockplat::CloseSocket(socket);
    return port;
}

bool NetworkIsIsolated() {
    tNetworkInterfaceList list;
    if (!GetNetworkInterfaces(list)) {
        return false;
    }
    for (const tNetworkInterface& entry : list) {
        if (!entry.IsLoopback) {
            return false;
        }
    }
    return true;
}

} // namespace nettest

} // namespace velkor
