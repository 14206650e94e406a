#include "tests/e2e/HostileController.h"

#include "protocol/ControllerContract.h"
#include "tools/ControllerLogic.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velkor::e2e {

namespace {

constexpr int kPollMs = 10;
constexpr std::size_t kPacketsPerChunk = 1024;

// Input-state packets with every lamp pattern in turn.
std::string FloodChunk() {
    std::string chunk;
    for (std::size_t n = 0; n < kPacketsPerChunk; ++n) {
        chunk += sim::EncodePacket({contract::kInputState, 0, static_cast<uint8_t>(n % 8), {}}, {});
    }
    return chunk;
}

} // namespace

HostileController::HostileController(std::chrono::milliseconds acceptTimeout)
    : chunk_(FloodChunk()) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, acceptTimeout] { Run(acceptTimeout); });
}

HostileController::~HostileController() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    for (const int socket : {connection_, listener_}) {
        if (socket >= 0) {
            ::close(socket);
        }
    }
}

void HostileController::Flood(std::chrono::milliseconds duration) {
    floodMs_ = duration.count();
    flooding_ = true;
}

bool HostileController::Accept(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    pollfd waiting{listener_, POLLIN, 0};
    while (!stop_ && std::chrono::steady_clock::now() < end) {
        if (::poll(&waiting, 1, kPollMs) > 0) {
            connection_ = ::accept(listener_, nullptr, nullptr);
            return connection_ >= 0;
        }
    }
    return false;
}

void HostileController::Run(std::chrono::milliseconds acceptTimeout) {
    if (!Accept(acceptTimeout)) {
        return;
    }
    connected_ = true;
    while (!stop_ && !flooding_ && Round(false)) {
    }
    const auto floodEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(floodMs_);
    while (!stop_ && std::chrono::steady_clock::now() < floodEnd && Round(true)) {
    }
    floodEnded_ = true;
    while (!stop_ && Round(false)) {
    }
}

bool HostileController::Round(bool sending) {
    pollfd ready{connection_, static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0};
    if (::poll(&ready, 1, kPollMs) <= 0) {
        return true;
    }
    if ((ready.revents & (POLLERR | POLLHUP)) != 0) {
        return false;
    }
    if ((ready.revents & POLLIN) != 0) {
        char buffer[4096];
        const ssize_t count = ::recv(connection_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count == 0) {
            return false;
        }
        if (count > 0) {
            stream_.Feed({buffer, static_cast<std::size_t>(count)},
                         [this](const eproto_header& packet) { ++received_[packet.cmd]; });
        }
    }
    if ((ready.revents & POLLOUT) != 0) {
        const ssize_t count = ::send(connection_, chunk_.data() + offset_, chunk_.size() - offset_,
                                     MSG_DONTWAIT | MSG_NOSIGNAL);
        if (count > 0) {
            const std::size_t packetSize = chunk_.size() / kPacketsPerChunk;
            const std::size_t before = offset_ / packetSize;
            offset_ = (offset_ + static_cast<std::size_t>(count)) % chunk_.size();
            const std::size_t after = offset_ == 0 ? kPacketsPerChunk : offset_ / packetSize;
            packetsSent_ += after - before;
        }
    }
    return true;
}

} // namespace velkor::e2e
