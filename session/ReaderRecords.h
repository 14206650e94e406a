// Records the reader session hands to the main window: the last datagram, the
// last packet, and a discovered controller.
#pragma once

#include <cstdint>
#include <string>

namespace velkor {

struct TRFIDReaderDatagram {
    std::string data; // the whole datagram
    std::string FromIP;
    uint16_t FromPort = 0;
};

struct TRFIDReaderPacket {
    uint8_t cmd = 0;
    uint8_t flags = 0;
    uint8_t code = 0;
    std::string data;       // data bytes, or the deciphered payload
    bool Decrypted = false; // data is a deciphered payload
    TRFIDReaderDatagram Datagram;
};

struct TRFIDDeviceBaseCaps {
    uint8_t Kind = 0;
    std::string DeviceName;
    std::string DeviceType;
    uint8_t Reserved = 0;
    std::string MAC;
    std::string IPText;
    uint32_t IP = 0; // network byte order: first octet in the lowest byte of memory
    uint16_t Tag7Value = 0;
    uint16_t TCPPort = 0;
    int32_t SignedSeconds = -1; // -1: absent
    int32_t Seconds = -1;       // -1: absent
};

} // namespace velkor
