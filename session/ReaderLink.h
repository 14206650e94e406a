// The narrow face of the reader session that the main window uses, so that the
// window logic can be driven and checked without sockets. TRFIDReader
// implements it; window tests use a recorder.
#pragma once

#include "session/DiscoveryAnswer.h"
#include "session/ReaderRecords.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velkor {

// One packet as the reader handed it on: by TCP to the session's peer, or as
// a UDP datagram to one address.
struct ReaderSend {
    TRFIDReaderPacket packet; // cmd, flags (as sent), code, data
    bool tcp = false;
    std::string to; // "address:port"
    bool ok = true; // false: the system refused the datagram
};

class IReaderLink {
public:
    using DatagramEvent = std::function<void(const TRFIDReaderDatagram&)>;
    using PacketEvent = std::function<void(const TRFIDReaderPacket&)>;
    using DeviceEvent = std::function<void(const DiscoveryAnswer&)>;
    using ErrorEvent = std::function<void(const std::string&)>;
    using SendEvent = std::function<void(const ReaderSend&)>;
    using DroppedEvent = std::function<void(std::size_t count)>;
    using CaughtUpEvent = std::function<void(std::size_t droppedInAll)>;

    // Every event runs on the main thread; an unset one is skipped. The
    // arrival events come in arrival order; OnSent runs inside the send call.
    struct Events {
        DatagramEvent OnDatagram; // every UDP datagram, before it is decoded
        PacketEvent OnPacket;     // every packet decoded (UDP or TCP)
        DeviceEvent OnDevice;     // a packet with cmd 135 that holds a discovery answer
        ErrorEvent OnError;       // the TCP socket reported an error and was closed
        SendEvent OnSent;         // a packet went out
        DroppedEvent OnDropped;   // arrivals dropped because the window fell behind
        // The window has raised every arrival after some were dropped: the
        // count dropped since the queue was last empty, after the dispatches
        // posted meanwhile, so that it is the last word on a flood.
        CaughtUpEvent OnCaughtUp;
    };

    virtual ~IReaderLink() = default;

    // Set once by the owner before Start.
    virtual void SetEvents(Events events) = 0;
    virtual void SetKey(const std::string& key) = 0;
    virtual void Start() = 0;

    virtual bool Connect(const std::string& host, int port, unsigned timeout_ms) = 0;
    virtual bool Disconnect(unsigned timeout_ms) = 0;
    virtual bool IsConnected() const = 0;

    virtual void SendCommand(uint8_t cmd, uint8_t code, uint8_t flags) = 0;
    virtual bool SendCommandData(uint8_t cmd, const std::string& data, uint8_t code,
                                 uint8_t flags) = 0;
    virtual void Discover() = 0;

    // flags byte of every packet sent by UDP (1 "IP", 2 "SubNet", 3 "AllNet").
    virtual void SetUDPFlag(uint8_t flag) = 0;
    virtual uint8_t UDPFlag() const = 0;
    // Dotted IPv4 address for UDP commands; empty means every broadcast address.
    virtual void SetUDPTarget(const std::string& target) = 0;
    virtual std::string UDPTarget() const = 0;
    // The destinations of discovery and of UDP commands without a target.
    virtual void SetBroadcastAddresses(std::vector<std::string> addresses) = 0;
    // Narrows the destinations of UDP commands without a target other than
    // discovery, until the next SetBroadcastAddresses (CommandTargets).
    virtual void SetCommandAddresses(std::vector<std::string> addresses) = 0;
};

} // namespace velkor
