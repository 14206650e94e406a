// The network transport: a polled non-blocking TCP client and a UDP endpoint
// that report through event callbacks, and the list of local IPv4 interfaces.
// Neither class owns a thread or ever waits; the owner's loop calls Poll and
// Receive. Events are set once by the owner after creation; an unset event is
// skipped. Byte strings are std::string (zero bytes allowed).
#pragma once

#include "net/SocketPlatform.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// Starts the system's socket library for the whole program (it is stopped once
// at program exit). Every socket of this unit starts it on first use; a program
// may call it first thing so the library is up before any other work.
void KVT_StartSocketLibrary();

// Strict dotted-decimal IPv4 text ("192.168.0.17") to an address in network
// byte order (first octet first in memory, as socket addresses hold it);
// nullopt for anything else (names, "1.2.3", "256.0.0.1", spaces). The
// host-order form, for arithmetic, is base::ParseIPv4HostOrder.
std::optional<uint32_t> KVT_ParseIPv4NetworkOrder(std::string_view text);
// An address in network byte order as dotted text.
std::string KVT_IPv4TextFromNetworkOrder(uint32_t ip);

// ---- TCP client ----

class TKVT_TCPSocket {
public:
    using TextEvent = std::function<void(const std::string&)>;

    static constexpr std::size_t kReceiveBufferSize = 655360;

    TKVT_TCPSocket(std::string host_name, int port);
    ~TKVT_TCPSocket();
    TKVT_TCPSocket(const TKVT_TCPSocket&) = delete;
    TKVT_TCPSocket& operator=(const TKVT_TCPSocket&) = delete;

    // Starts a connection to HostName:Port. True means the connect call was
    // issued; OnConnect reports the connection, OnError a failure. An open
    // socket is closed first. Owner's thread.
    bool Open();
    // Closes the socket, clears `connected` and empties the send queue. No event.
    void Close();
    // Queues bytes for the next writable Poll and returns their count; 0 and
    // nothing queued without a socket. May be called from any thread.
    int Write(std::string_view bytes);
    // One non-waiting round: connect completion, send, receive (at most
    // kReceiveBufferSize bytes; the rest waits for the next round), errors.
    // Returns the number of bytes received in this round. Owner's thread.
    int Poll();

    bool IsOpen() const { return socket_.load() != sockplat::kNoSocket; }
    bool IsConnected() const { return connected_.load(); }
    // Bytes queued and not yet handed to the system. Any thread.
    std::size_t PendingBytes() const;

    std::string HostName;
    int Port;

    TextEvent OnConnect; // connection established; the text is empty
    TextEvent OnError;   // error text, raised after the socket was closed
    TextEvent OnRead;    // one chunk of received bytes
    TextEvent OnWrite;   // the bytes one send call handed to the system

private:
    void SendQueued();
    int ReceiveAll();
    void ReportError(std::string label, int code);
    static void Raise(const TextEvent& event, const std::string& text);

    std::unique_ptr<char[]> receive_buffer_; // allocated once, kReceiveBufferSize bytes
    std::string last_chunk_;
    std::atomic<bool> connected_{false};
    std::atomic<sockplat::SocketHandle> socket_{sockplat::kNoSocket};
    mutable std::mutex queue_mutex_; // guards send_queue_ and socket_ changes
    std::string send_queue_;
};

// ---- UDP endpoint ----

// An IPv4 socket address: address in network byte order, port in host order.
struct SocketAddress {
    uint32_t IP = 0;
    uint16_t Port = 0;
};

class TKVT_UDPSocket {
public:
    // data bytes, sender's dotted IPv4 text, sender's port (host order)
    using ReadEvent =
        std::function<void(const std::string& data, const std::string& from_ip, uint16_t port)>;

    TKVT_UDPSocket();
    ~TKVT_UDPSocket();
    TKVT_UDPSocket(const TKVT_UDPSocket&) = delete;
    TKVT_UDPSocket& operator=(const TKVT_UDPSocket&) = delete;

    // Nothing happens for the current size; otherwise the buffer is replaced
    // by one of `size` bytes (none for 0). Not while Receive runs.
    void SetBufferSize(uint16_t size);
    uint16_t BufferSize() const { return buffer_size_; }

    // Creates the socket, binds it to LocalAddress:LocalPort, makes it
    // non-blocking with broadcast enabled. An open socket is closed first.
    bool Open();
    void Close();
    bool IsOpen() const { return socket_.load() != sockplat::kNoSocket; }
    // The port the socket is bound to (the system's choice when LocalPort is 0).
    uint16_t BoundPort() const;

    // One datagram; the system's result (bytes sent or -1). Any thread.
    int SendTo(std::string_view bytes, const SocketAddress& to);
    // One datagram to a dotted IPv4 address ("255.255.255.255" broadcasts).
    // A text that is not a dotted address sends nothing and returns -1.
    int SendToHost(std::string_view bytes, std::string_view host, uint16_t port);
    // One non-blocking receive: raises OnRead and returns the datagram's
    // length, or returns 0 when nothing (or nothing that fits) was waiting.
    int Receive();

    // Bind settings, read by Open: port 0 lets the system choose; an empty
    // address binds to every local address; ReuseAddress lets several
    // sockets share the port (several receivers of one broadcast).
    uint16_t LocalPort = 0;
    std::string LocalAddress;
    bool ReuseAddress = false;
    // Receive buffer the system keeps for the socket (SO_RCVBUF), in bytes;
    // 0 keeps the system's default. A burst of answers from many controllers
    // must fit in it while the reader drains them.
    int SystemReceiveBuffer = 0;

    ReadEvent OnRead;

private:
    std::atomic<sockplat::SocketHandle> socket_{sockplat::kNoSocket};
    uint16_t buffer_size_ = 0;
    std::unique_ptr<char[]> buffer_;
};

// ---- Local interfaces ----

struct tNetworkInterface {
    std::string Name;               // the computer's name, the same for every entry
    std::string InterfaceName;      // the system's name of this interface ("eth0", "Wi-Fi")
    uint32_t IP = 0;                // network byte order
    uint32_t Mask = 0;              // network byte order
    uint32_t NetAddress = 0;        // IP AND Mask
    uint32_t LimitedBroadcast = 0;  // the broadcast address the system reports
    uint32_t DirectedBroadcast = 0; // NetAddress OR (NOT Mask)
    bool IsUp = false;
    bool CanBroadcast = false;
    bool IsLoopback = false;
};

using tNetworkInterfaceList = std::vector<tNetworkInterface>;

// Builds one entry from the system's figures (flags: sockplat::kIfUp,
// kIfBroadcast, kIfLoopback).
tNetworkInterface MakeNetworkInterface(std::string name, uint32_t ip, uint32_t mask,
                                       uint32_t broadcast, unsigned flags);

// Fills `list` (emptied first) with the computer's IPv4 interfaces in the
// system's order; false when the system cannot be asked.
bool GetNetworkInterfaces(tNetworkInterfaceList& list);

// The local address (network byte order) the system sends a datagram to
// 255.255.255.255 from, that is the interface it routes the limited broadcast
// by; nothing when the system does not say (no route, no answer).
std::optional<uint32_t> LimitedBroadcastSource();

} // namespace velkor
