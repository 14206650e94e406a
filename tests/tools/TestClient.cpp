#include "tests/tools/TestClient.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/PacketBytes.h"
#include "protocol/eproto.h"

namespace simtest {
namespace {

sockaddr_in AddressOf(const std::string& address, uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &result.sin_addr);
    return result;
}

bool WaitReadable(int fd, std::chrono::milliseconds timeout) {
    pollfd readable{fd, POLLIN, 0};
    return ::poll(&readable, 1, static_cast<int>(timeout.count())) > 0;
}

int16_t CollectItem(uint32_t tag, uint32_t length, const uint8_t* value, void* context) {
    (*static_cast<std::map<uint8_t, std::string>*>(context))[static_cast<uint8_t>(tag)] =
        std::string(reinterpret_cast<const char*>(value), length);
    return 0;
}

} // namespace

std::string Encode(const Packet& packet) {
    return velkor::EncodePacket(packet.cmd, packet.data, packet.flags, packet.code);
}

std::optional<Packet> Decode(const std::string& bytes, std::size_t* used) {
    uint16_t position = 0;
    velkor::eproto_header header{};
    if (velkor::eproto_decode(reinterpret_cast<const uint8_t*>(bytes.data()), &position,
                              static_cast<uint16_t>(bytes.size()),
                              &header) != velkor::EPROTO_DECODE_OK) {
        return std::nullopt;
    }
    if (used != nullptr) {
        *used = position;
    }
    return Packet{header.cmd, header.flags, header.code,
                  std::string(reinterpret_cast<const char*>(header.data), header.len)};
}

std::optional<std::map<uint8_t, std::string>> DiscoveryItems(const std::string& data) {
    std::string copy = data;
    velkor::eproto_tlv cursor;
    std::map<uint8_t, std::string> items;
    if (velkor::eproto_tlv_init(&cursor, 1, 1, reinterpret_cast<uint8_t*>(copy.data()),
                                static_cast<uint16_t>(copy.size())) != velkor::EPROTO_TLV_OK ||
        velkor::eproto_tlv_iterate(&cursor, CollectItem, &items) != velkor::EPROTO_TLV_OK) {
        return std::nullopt;
    }
    return items;
}

UdpClient::UdpClient() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    const int on = 1;
    const int buffer = 8 * 1024 * 1024;
    setsockopt(fd_.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    setsockopt(fd_.get(), SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    const sockaddr_in local = AddressOf("0.0.0.0", 0);
    ::bind(fd_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local);
}

bool UdpClient::SendTo(const std::string& address, uint16_t port, const std::string& bytes) {
    const sockaddr_in to = AddressOf(address, port);
    return ::sendto(fd_.get(), bytes.data(), bytes.size(), 0,
                    reinterpret_cast<const sockaddr*>(&to),
                    sizeof to) == static_cast<ssize_t>(bytes.size());
}

std::optional<Reply> UdpClient::Receive(std::chrono::milliseconds timeout) {
    if (!WaitReadable(fd_.get(), timeout)) {
        return std::nullopt;
    }
    char buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n = ::recvfrom(fd_.get(), buffer, sizeof buffer, 0,
                                 reinterpret_cast<sockaddr*>(&from), &length);
    if (n <= 0) {
        return std::nullopt;
    }
    auto packet = Decode(std::string(buffer, static_cast<std::size_t>(n)));
    if (!packet) {
        return std::nullopt;
    }
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    return Reply{*packet, text, ntohs(from.sin_port)};
}

bool TcpClient::Connect(const std::string& address, uint16_t port) {
    fd_ = sim::Fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in to = AddressOf(address, port);
    return ::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
}

bool TcpClient::Send(const std::string& bytes) {
    return ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

std::optional<Packet> TcpClient::ReadPacket(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::size_t used = 0;
        if (auto packet = Decode(pending_, &used)) {
            pending_.erase(0, used);
            return packet;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !WaitReadable(fd_.get(), left)) {
            return std::nullopt;
        }
        char buffer[4096];
        const ssize_t n = ::recv(fd_.get(), buffer, sizeof buffer, 0);
        if (n <= 0) {
            return std::nullopt;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

bool TcpClient::WaitClosed(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[65536];
    while (std::chrono::steady_clock::now() < deadline) {
        if (!WaitReadable(fd_.get(), std::chrono::milliseconds(50))) {
            continue;
        }
        const ssize_t n = ::recv(fd_.get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            return true;
        }
    }
    return false;
}

} // namespace simtest
