#include "tests/session/LoopbackPeers.h"

#include "protocol/eproto.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace velkor {

namespace {

constexpr auto kStep = std::chrono::milliseconds(1);

uint32_t Loopback() {
    return *KVT_ParseIPv4NetworkOrder("127.0.0.1");
}

} // namespace

std::string EncodeSealedPacket(uint8_t cmd, const std::string& payload, const std::string& key) {
    std::vector<uint8_t> field(payload.size() + EPROTO_CIPHER_OVERHEAD);
    EXPECT_EQ(eproto_cipher_seal(field.data(), reinterpret_cast<const uint8_t*>(payload.data()),
                                 static_cast<uint16_t>(payload.size()),
                                 reinterpret_cast<const uint8_t*>(key.data()), key.size()),
              EPROTO_CIPHER_OK);
    return EncodePacket(cmd, std::string(field.begin(), field.end()));
}

LoopbackTcpPeer::LoopbackTcpPeer() {
    listener_ = sockplat::OpenStream();
    sockplat::SetReuseAddress(listener_);
    sockplat::Bind(listener_, Loopback(), 0);
    sockplat::Listen(listener_);
    sockplat::SetNonBlocking(listener_);
    port_ = sockplat::BoundPort(listener_);
}

LoopbackTcpPeer::~LoopbackTcpPeer() {
    if (connection_ != sockplat::kNoSocket) {
        sockplat::CloseSocket(connection_);
    }
    sockplat::CloseSocket(listener_);
}

bool LoopbackTcpPeer::Accept(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        connection_ = sockplat::Accept(listener_);
        if (connection_ != sockplat::kNoSocket) {
            sockplat::SetNonBlocking(connection_);
            return true;
        }
        std::this_thread::sleep_for(kStep);
    }
    return false;
}

bool LoopbackTcpPeer::Send(const std::string& bytes, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::size_t done = 0;
    while (done < bytes.size() && std::chrono::steady_clock::now() < end) {
        const int sent = sockplat::Send(connection_, bytes.data() + done, bytes.size() - done);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
        } else {
            std::this_thread::sleep_for(kStep);
        }
    }
    return done == bytes.size();
}

void LoopbackTcpPeer::Close() {
    if (connection_ != sockplat::kNoSocket) {
        sockplat::CloseSocket(connection_);
        connection_ = sockplat::kNoSocket;
    }
}

std::string LoopbackTcpPeer::Receive(std::size_t count, std::chrono::milliseconds timeout) {
    std::string received;
    char buffer[4096];
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (received.size() < count && std::chrono::steady_clock::now() < end) {
        const int n = sockplat::Receive(connection_, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, static_cast<std::size_t>(n));
        } else {
            std::this_thread::sleep_for(kStep);
        }
    }
    return received;
}

bool LoopbackTcpPeer::WaitClosed(std::chrono::milliseconds timeout) {
    char buffer[4096];
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        const int n = sockplat::Receive(connection_, buffer, sizeof buffer);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            std::this_thread::sleep_for(kStep);
        }
    }
    return false;
}

UdpListener::UdpListener() {
    socket_.ReuseAddress = true;
    socket_.SetBufferSize(1024);
    socket_.OnRead = [this](const std::string& data, const std::string& from, uint16_t) {
        last_ = data;
        last_from = from;
    };
    socket_.Open();
}

std::string UdpListener::Next(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (socket_.Receive() > 0) {
            return last_;
        }
        std::this_thread::sleep_for(kStep);
    }
    return {};
}

int UdpListener::SendTo(const std::string& bytes, uint16_t port, const std::string& host) {
    return socket_.SendToHost(bytes, host, port);
}

} // namespace velkor
