#include "tools/SimSockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {
namespace {

constexpr int kUdpBufferBytes = 4 * 1024 * 1024;
constexpr int kSendWaitMs = 20;

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = htonl(address);
    result.sin_port = htons(port);
    return result;
}

Fd Failed(std::string* error, const std::string& what) {
    if (error != nullptr) {
        *error = ErrnoText(what);
    }
    return Fd{};
}

bool SetInt(int fd, int level, int option, int value) {
    return setsockopt(fd, level, option, &value, sizeof value) == 0;
}

} // namespace

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int Fd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void Fd::Reset() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::string ErrnoText(const std::string& what) {
    const int code = errno;
    return what + ": ecode[" + std::to_string(code) + "], estr[" + std::strerror(code) + "]";
}

Fd OpenFleetUdpSocket(uint16_t port, std::string* error) {
    Fd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        return Failed(error, "udp socket");
    }
    if (!SetInt(fd.get(), SOL_SOCKET, SO_REUSEADDR, 1) ||
        !SetInt(fd.get(), SOL_SOCKET, SO_BROADCAST, 1) ||
        !SetInt(fd.get(), IPPROTO_IP, IP_PKTINFO, 1)) {
        return Failed(error, "udp options");
    }
    // Bursts of answers and requests fit; the system caps what it grants.
    SetInt(fd.get(), SOL_SOCKET, SO_RCVBUF, kUdpBufferBytes);
    SetInt(fd.get(), SOL_SOCKET, SO_SNDBUF, kUdpBufferBytes);
    const sockaddr_in local = MakeAddress(INADDR_ANY, port);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return Failed(error, "udp bind 0.0.0.0:" + std::to_string(port));
    }
    return fd;
}

Fd OpenListener(uint32_t address, uint16_t port, std::string* error) {
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        return Failed(error, "tcp socket");
    }
    SetInt(fd.get(), SOL_SOCKET, SO_REUSEADDR, 1);
    const sockaddr_in local = MakeAddress(address, port);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
        return Failed(error, std::string("tcp bind ") + text + ":" + std::to_string(port));
    }
    if (::listen(fd.get(), 16) != 0) {
        return Failed(error, "tcp listen");
    }
    return fd;
}

uint16_t LocalPort(int fd) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

bool ReceiveDatagram(int fd, uint8_t* buffer, std::size_t capacity, Datagram* datagram) {
    iovec io{buffer, capacity};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_name = &datagram->from;
    message.msg_namelen = sizeof datagram->from;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t received;
    do {
        received = ::recvmsg(fd, &message, MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    if (received < 0) {
        return false;
    }
    datagram->size = static_cast<std::size_t>(received);
    datagram->destination = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            datagram->destination = ntohl(info.ipi_addr.s_addr);
        }
    }
    return true;
}

bool SendDatagramFrom(int fd, uint32_t source, const sockaddr_in& to, const std::string& bytes) {
    iovec io{const_cast<char*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&to);
    message.msg_namelen = sizeof to;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&message);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = htonl(source);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    // A full send buffer drains within moments on loopback: wait a little
    // for room rather than drop the datagram, but never block the loop long.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
        if (sent == static_cast<ssize_t>(bytes.size())) {
            return true;
        }
        if (sent >= 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            return false;
        }
        pollfd room{fd, POLLOUT, 0};
        ::poll(&room, 1, kSendWaitMs);
    }
    return false;
}

std::size_t RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return 0;
    }
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return static_cast<std::size_t>(limit.rlim_cur);
}

} // namespace sim
