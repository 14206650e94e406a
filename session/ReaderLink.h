// The narrow face of the reader session that the main window uses, so that the
// window logic can be driven and checked without sockets. TRFIDReader
// implements it; window tests use a recorder.
#pragma once

#include "session/ReaderRecords.h"

#include <cstdint>
#include <functional>
#include <string>

namespace velkor {

class IReaderLink {
public:
    using DatagramEvent = std::function<void(const TRFIDReaderDatagram&)>;
    using PacketEvent = std::function<void(const TRFIDReaderPacket&)>;
    using DeviceEvent = std::function<void(const TRFIDDeviceBaseCaps&)>;
    using ErrorEvent = std::function<void(const std::string&)>;

    virtual ~IReaderLink() = default;

    // Events are set once by the owner before Start; each runs on the main thread.
    virtual void SetEvents(DatagramEvent on_datagram, PacketEvent on_packet, DeviceEvent on_device,
                           ErrorEvent on_error) = 0;
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
    // Dotted IPv4 address for UDP commands; empty means broadcast.
    virtual void SetUDPTarget(const std::string& target) = 0;
    virtual std::string UDPTarget() const = 0;
};

} // namespace velkor
