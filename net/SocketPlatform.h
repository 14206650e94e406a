// The thin layer between the socket classes and the operating system: POSIX
// sockets in SocketPlatform_posix.cpp, Winsock in SocketPlatform_win32.cpp.
// Nothing here includes a system header, so the classes above it stay free of
// platform switches. IPv4 addresses are 32-bit values in network byte order
// (first octet in the lowest byte of memory); ports are in host order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velkor {

namespace sockplat {

// A socket handle wide enough for both systems; kNoSocket is "no socket".
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// Starts the system's socket library once per program; it is stopped once at
// program exit. Safe to call from any thread, any number of times.
void StartLibrary();

SocketHandle OpenStream();   // IPv4 TCP socket, or kNoSocket
SocketHandle OpenDatagram(); // IPv4 UDP socket, or kNoSocket
void CloseSocket(SocketHandle socket);

bool SetNonBlocking(SocketHandle socket);
bool SetBroadcast(SocketHandle socket);
bool SetReuseAddress(SocketHandle socket);
// Asks the system for a receive buffer of `bytes` (SO_RCVBUF).
bool SetReceiveBufferSize(SocketHandle socket, int bytes);
// Closing the socket afterwards resets the connection instead of ending it.
bool SetAbortiveClose(SocketHandle socket);

bool Bind(SocketHandle socket, uint32_t ip, uint16_t port);
// The port the socket is bound to, 0 when unbound or unknown.
uint16_t BoundPort(SocketHandle socket);
// The local IPv4 address the socket is bound to, or that the system chose for
// it when it was connected; 0 when unbound or unknown.
uint32_t BoundAddress(SocketHandle socket);
bool Listen(SocketHandle socket);
// Accepts one pending connection; kNoSocket when none is waiting or on error.
SocketHandle Accept(SocketHandle listener);

// The first IPv4 address of the host lookup; a dotted address gives itself.
bool ResolveIPv4(const std::string& host, uint32_t& ip);
// Issues the connect call on a non-blocking socket: true when the connection
// is made or under way, false when the system refused it at once.
bool Connect(SocketHandle socket, uint32_t ip, uint16_t port);

struct SelectResult {
    int rv = 0; // the system's result: >0 ready, 0 nothing, <0 failure
    bool readable = false;
    bool writable = false;
    bool failed = false; // the system flagged an error on the socket
};
// One select with a zero time-out on one socket: read and error always,
// write only when asked.
SelectResult SelectNow(SocketHandle socket, bool want_write);

// Each returns the system's result: the count of bytes, 0, or -1.
int Send(SocketHandle socket, const char* bytes, std::size_t count);
int Receive(SocketHandle socket, char* buffer, std::size_t size);
int SendTo(SocketHandle socket, const char* bytes, std::size_t count, uint32_t ip, uint16_t port);
int ReceiveFrom(SocketHandle socket, char* buffer, std::size_t size, uint32_t& ip, uint16_t& port);

// The last socket error of the calling thread, and its reset to 0.
int LastError();
void ClearLastError();
// The error the system holds for the socket (a failed connect); reading clears it.
int TakePendingError(SocketHandle socket);
bool IsWouldBlock(int code);
// The system's message for the code, or a fallback text where it has none.
std::string ErrorText(int code);

// The computer's name, empty when it cannot be read.
std::string ComputerName();

// Interface flag bits as this layer reports them on every system.
inline constexpr unsigned kIfUp = 1;
inline constexpr unsigned kIfBroadcast = 2;
inline constexpr unsigned kIfLoopback = 4;

struct InterfaceRecord {
    std::string name; // the system's name of the interface ("eth0", "Wi-Fi")
    uint32_t ip = 0;
    uint32_t mask = 0;
    uint32_t broadcast = 0; // as the system reports it, 0 when it reports none
    unsigned flags = 0;     // kIfUp, kIfBroadcast, kIfLoopback
};
// The IPv4 interfaces in the system's order; false when the query fails.
bool ListInterfaces(std::vector<InterfaceRecord>& records);

} // namespace sockplat

} // namespace velkor
