// The texts of the traffic log's lines for what the reader receives and
// sends, shared by the window's log and the command-line tool's --verbose.
#pragma once

#include "session/ReaderRecords.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velkor {

// "datagram [<hex>:<count>] <ip>:<port>"
std::string DatagramLogLine(const TRFIDReaderDatagram& datagram);

// "packet[ [decrypted]] cmd/flags/code[0xCC:0xFF:0xDD] data[<hex>]"
std::string PacketLogLine(const TRFIDReaderPacket& packet);

// "<label>data[<hex>]", the form of settings and workflow lines.
std::string DataLogLine(std::string_view label, std::string_view data);

// Device-supplied text made safe for one log line: control bytes, DEL and the
// backslash become \xHH (backslash: \\), everything else is kept as it is.
std::string EscapeControlBytes(std::string_view text);

// Seconds as "[<d>d ]HH:MM:SS".
std::string DurationText(uint32_t seconds);

} // namespace velkor
