// The few POSIX socket operations the simulator needs, with errors as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <netinet/in.h>
#include <string>

namespace sim {

// Owns one file descriptor.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : fd_(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int Release();
    void Reset();

private:
    int fd_ = -1;
};

std::string ErrnoText(const std::string& what);

// A non-blocking UDP socket on 0.0.0.0:port with address reuse, broadcast
// and destination-address reporting; port 0 picks a free one.
Fd OpenFleetUdpSocket(uint16_t port, std::string* error);
// A non-blocking TCP listener on address:port (host order).
Fd OpenListener(uint32_t address, uint16_t port, std::string* error);
uint16_t LocalPort(int fd);

struct Datagram {
    std::size_t size = 0;
    sockaddr_in from{};
    uint32_t destination = 0; // host order; 0 when the system did not say
};

// Receives one datagram without waiting; false when none is queued.
bool ReceiveDatagram(int fd, uint8_t* buffer, std::size_t capacity, Datagram* datagram);
// Sends one datagram with `source` (host order) as its source address.
bool SendDatagramFrom(int fd, uint32_t source, const sockaddr_in& to, const std::string& bytes);

// Lifts the soft open-files limit to the hard limit; returns the new limit.
std::size_t RaiseOpenFileLimit();

} // namespace sim
