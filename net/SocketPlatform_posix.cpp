// POSIX sockets behind the platform layer.
#include "net/SocketPlatform.h"

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velkor {

namespace sockplat {
namespace {

int Fd(SocketHandle socket) {
    return static_cast<int>(socket);
}

sockaddr_in MakeAddress(uint32_t ip, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ip;
    address.sin_port = htons(port);
    return address;
}

bool SetIntOption(SocketHandle socket, int level, int name, int value) {
    return ::setsockopt(Fd(socket), level, name, &value, sizeof value) == 0;
}

std::size_t ClampCount(std::size_t count) {
    return count > static_cast<std::size_t>(INT_MAX) ? static_cast<std::size_t>(INT_MAX) : count;
}

uint32_t AddressOf(const sockaddr* address) {
    return address != nullptr && address->sa_family == AF_INET
               ? reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr
               : 0;
}

// strerror_r comes in two flavours; both end up as a text here.
[[maybe_unused]] const char* MessageOf(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* MessageOf(const char* result, const char*) {
    return result;
}

} // namespace

void StartLibrary() {
} // POSIX sockets need no start

SocketHandle OpenStream() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd < 0 ? kNoSocket : fd;
}

SocketHandle OpenDatagram() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    return fd < 0 ? kNoSocket : fd;
}

void CloseSocket(SocketHandle socket) {
    ::close(Fd(socket));
}

bool SetNonBlocking(SocketHandle socket) {
    const int flags = ::fcntl(Fd(socket), F_GETFL, 0);
    return flags >= 0 && ::fcntl(Fd(socket), F_SETFL, flags | O_NONBLOCK) == 0;
}

bool SetBroadcast(SocketHandle socket) {
    return SetIntOption(socket, SOL_SOCKET, SO_BROADCAST, 1);
}

bool SetReuseAddress(SocketHandle socket) {
    return SetIntOption(socket, SOL_SOCKET, SO_REUSEADDR, 1);
}

bool SetReceiveBufferSize(SocketHandle socket, int bytes) {
    return SetIntOption(socket, SOL_SOCKET, SO_RCVBUF, bytes);
}

bool SetAbortiveClose(SocketHandle socket) {
    const linger option{1, 0};
    return ::setsockopt(Fd(socket), SOL_SOCKET, SO_LINGER, &option, sizeof option) == 0;
}

bool Bind(SocketHandle socket, uint32_t ip, uint16_t port) {
    const sockaddr_in address = MakeAddress(ip, port);
    return ::bind(Fd(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

namespace {

sockaddr_in LocalName(SocketHandle socket) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (::getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return {};
    }
    return address;
}

} // namespace

uint16_t BoundPort(SocketHandle socket) {
    return ntohs(LocalName(socket).sin_port);
}

uint32_t BoundAddress(SocketHandle socket) {
    return LocalName(socket).sin_addr.s_addr;
}

bool Listen(SocketHandle socket) {
    return ::listen(Fd(socket), SOMAXCONN) == 0;
}

SocketHandle Accept(SocketHandle listener) {
    const int fd = ::accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC);
    return fd < 0 ? kNoSocket : fd;
}

bool ResolveIPv4(const std::string& host, uint32_t& ip) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &answer) != 0 || answer == nullptr) {
        return false;
    }
    ip = AddressOf(answer->ai_addr);
    ::freeaddrinfo(answer);
    return true;
}

bool Connect(SocketHandle socket, uint32_t ip, uint16_t port) {
    const sockaddr_in address = MakeAddress(ip, port);
    return ::connect(Fd(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
               0 ||
           errno == EINPROGRESS;
}

SelectResult SelectNow(SocketHandle socket, bool want_write) {
    // poll, unlike select, has no limit on the descriptor's number.
    pollfd entry{Fd(socket), static_cast<short>(POLLIN | (want_write ? POLLOUT : 0)), 0};
    SelectResult result;
    result.rv = ::poll(&entry, 1, 0);
    if (result.rv > 0) {
        // A hang-up or an error is read by the next receive, which reports it.
        result.readable = (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
        result.writable = want_write && (entry.revents & POLLOUT) != 0;
        result.failed = (entry.revents & POLLNVAL) != 0;
    }
    return result;
}

int Send(SocketHandle socket, const char* bytes, std::size_t count) {
    return static_cast<int>(::send(Fd(socket), bytes, ClampCount(count), MSG_NOSIGNAL));
}

int Receive(SocketHandle socket, char* buffer, std::size_t size) {
    return static_cast<int>(::recv(Fd(socket), buffer, ClampCount(size), 0));
}

int SendTo(SocketHandle socket, const char* bytes, std::size_t count, uint32_t ip, uint16_t port) {
    const sockaddr_in address = MakeAddress(ip, port);
    return static_cast<int>(::sendto(Fd(socket), bytes, ClampCount(count), MSG_NOSIGNAL,
                                     reinterpret_cast<const sockaddr*>(&address), sizeof address));
}

int ReceiveFrom(SocketHandle socket, char* buffer, std::size_t size, uint32_t& ip, uint16_t& port) {
    sockaddr_in address{};
    iovec part{buffer, size};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof address;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    const ssize_t received = ::recvmsg(Fd(socket), &message, 0);
    if (received < 0) {
        return -1;
    }
    // A datagram longer than the buffer is lost whole, not cut short.
    if ((message.msg_flags & MSG_TRUNC) != 0) {
        errno = EMSGSIZE;
        return -1;
    }
    ip = address.sin_addr.s_addr;
    port = ntohs(address.sin_port);
    return static_cast<int>(received);
}

int LastError() {
    return errno;
}

void ClearLastError() {
    errno = 0;
}

int TakePendingError(SocketHandle socket) {
    int code = 0;
    socklen_t size = sizeof code;
    if (::getsockopt(Fd(socket), SOL_SOCKET, SO_ERROR, &code, &size) != 0) {
        return errno;
    }
    return code;
}

bool IsWouldBlock(int code) {
    return code == EAGAIN || code == EWOULDBLOCK;
}

std::string ErrorText(int code) {
    char buffer[256] = {};
    const char* message = MessageOf(::strerror_r(code, buffer, sizeof buffer), buffer);
    if (message == nullptr || *message == '\0') {
        return "system error " + std::to_string(code);
    }
    return message;
}

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

bool ListInterfaces(std::vector<InterfaceRecord>& records) {
    records.clear();
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        InterfaceRecord record;
        record.name = entry->ifa_name;
        record.ip = AddressOf(entry->ifa_addr);
        record.mask = AddressOf(entry->ifa_netmask);
        if ((entry->ifa_flags & IFF_BROADCAST) != 0) {
            record.broadcast = AddressOf(entry->ifa_broadaddr);
            record.flags |= kIfBroadcast;
        }
        if ((entry->ifa_flags & IFF_UP) != 0) {
            record.flags |= kIfUp;
        }
        if ((entry->ifa_flags & IFF_LOOPBACK) != 0) {
            record.flags |= kIfLoopback;
        }
        records.push_back(record);
    }
    ::freeifaddrs(list);
    return true;
}

} // namespace sockplat

} // namespace velkor
