#include "session/TrafficLogLines.h"

#include "protocol/eproto.h"

#include <cstdio>

namespace velkor {

std::string DatagramLogLine(const TRFIDReaderDatagram& datagram) {
    return "datagram [" + eproto_bytes_to_hex(datagram.data) + ":" +
           std::to_string(datagram.data.size()) + "] " + datagram.FromIP + ":" +
           std::to_string(datagram.FromPort);
}

namespace {

// " cmd/flags/code[0xCC:0xFF:0xDD] data[<hex>]"
std::string HeaderAndData(const TRFIDReaderPacket& packet) {
    char header[40];
    std::snprintf(header, sizeof header, " cmd/flags/code[0x%.2X:0x%.2X:0x%.2X]", packet.cmd,
                  packet.flags, packet.code);
    return header + (" data[" + eproto_bytes_to_hex(packet.data) + "]");
}

} // namespace

std::string PacketLogLine(const TRFIDReaderPacket& packet) {
    return std::string("packet") + (packet.Decrypted ? " [decrypted]" : "") + HeaderAndData(packet);
}

std::string SentLogLine(const ReaderSend& send) {
    return std::string("sent ") + (send.tcp ? "tcp " : "udp ") + send.to +
           HeaderAndData(send.packet) + (send.ok ? "" : " failed");
}

std::string DroppedLogLine(std::size_t count) {
    return std::to_string(count) +
           " packets dropped: they came faster than the window could show them";
}

std::string CaughtUpLogLine(std::size_t droppedInAll) {
    return "caught up: " + std::to_string(droppedInAll) + " packets dropped in all";
}

std::string DataLogLine(std::string_view label, std::string_view data) {
    return std::string(label) + "data[" + eproto_bytes_to_hex(data) + "]";
}

std::string EscapeControlBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x" + eproto_bytes_to_hex(std::string_view(&c, 1));
        } else {
            out += c;
        }
    }
    return out;
}

std::string DurationText(uint32_t seconds) {
    const uint32_t days = seconds / 86400;
    seconds %= 86400;
    const uint32_t hours = seconds / 3600;
    seconds %= 3600;
    const uint32_t minutes = seconds / 60;
    seconds %= 60;
    char clock[32];
    std::snprintf(clock, sizeof clock, "%.2u:%.2u:%.2u", static_cast<unsigned>(hours),
                  static_cast<unsigned>(minutes), static_cast<unsigned>(seconds));
    return (days != 0 ? std::to_string(days) + "d " : std::string()) + clock;
}

std::string SignedDurationText(uint32_t raw) {
    return ((raw & 0x80000000u) != 0 ? "+ " : "- ") + DurationText(raw & 0x7FFFFFFFu);
}

} // namespace velkor
