// The discovery answer of a controller (the data of a packet with cmd 0x87):
// a TLV list, tag width 1 and length width 1, read into the intermediate
// record and turned into the device record the main window lists.
#pragma once

#include "session/ReaderRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkor {

// Every item a discovery answer may carry, with the reset values for the
// items it lacks.
struct TRFIDReaderTLVStruct {
    std::string MAC; // six raw bytes
    std::string IPText;
    uint32_t IP = 0; // network byte order
    std::string Addr3Text;
    std::string Addr4Text;
    std::string Addr5Text;
    uint16_t TCPPort = 0;
    uint16_t Tag7Value = 0;
    int32_t SignedSeconds = -1; // -1: absent; bit 31 a sign flag, bits 0-30 seconds
    int32_t Seconds = -1;       // -1: absent
    uint8_t Tag8Byte = 0;
    uint8_t Tag9Byte = 0;
    std::string Text12;
    std::string Text13;
    std::string Text14;
};

// Reads the items of an answer. Unknown tags and items whose length does not
// suit their tag are skipped, a later item replaces an earlier one with the
// same tag; nothing when an item runs past the end of the data.
std::optional<TRFIDReaderTLVStruct> ReadDiscoveryItems(std::string_view data);

// The device record of an answer's items.
TRFIDDeviceBaseCaps DeviceCapsOf(const TRFIDReaderTLVStruct& items);

// The device record of an answer, or nothing for a malformed one.
std::optional<TRFIDDeviceBaseCaps> ParseDiscoveryReply(std::string_view data);

} // namespace velkor
