// The texts of the traffic log's lines for what the reader receives and
// sends, shared by the window's log and the command-line tool's --verbose.
#pragma once

#include "session/ReaderLink.h"
#include "session/ReaderRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velkor {

// "datagram [<hex>:<count>] <ip>:<port>"
std::string DatagramLogLine(const TRFIDReaderDatagram& datagram);

// "packet[ [decrypted]] cmd/flags/code[0xCC:0xFF:0xDD] data[<hex>]"
std::string PacketLogLine(const TRFIDReaderPacket& packet);

// "sent <tcp|udp> <address>:<port> cmd/flags/code[0xCC:0xFF:0xDD] data[<hex>]",
// with " failed" at the end when the system refused the datagram.
std::string SentLogLine(const ReaderSend& send);

// "<count> packets dropped: they came faster than the window could show them"
std::string DroppedLogLine(std::size_t count);

// "caught up: <count> packets dropped in all"
std::string CaughtUpLogLine(std::size_t droppedInAll);

// "<label>data[<hex>]", the form of settings and workflow lines.
std::string DataLogLine(std::string_view label, std::string_view data);

// Device-supplied text made safe for one log line: control bytes, DEL and the
// backslash become \xHH (backslash: \\), everything else is kept as it is.
std::string EscapeControlBytes(std::string_view text);

// Seconds as "[<d>d ]HH:MM:SS".
std::string DurationText(uint32_t seconds);
// A signed time counter (bit 31 set: "+ ", clear: "- ", then bits 0-30 as a duration).
std::string SignedDurationText(uint32_t raw);

} // namespace velkor
