// The packet cutter the reader and the simulator run (PacketStream), fed an
// arbitrary byte stream in arbitrary chunks. Invariants: every chunking gives
// the same packets, the same skipped count and the same backlog as feeding the
// stream whole; every packet handed on is a valid one of at most 135 data
// bytes whose checksums hold; the backlog stays under one packet.
#include "protocol/PacketStream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace velkor;

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

struct Outcome {
    std::vector<std::string> packets; // the header's first six bytes, then the data
    std::size_t skipped = 0;
    std::size_t backlog = 0;

    bool operator==(const Outcome&) const = default;
};

void Collect(Outcome& outcome, const eproto_header& packet) {
    Require(packet.magic == EPROTO_MAGIC && packet.len <= EPROTO_MAX_DATA);
    const uint8_t head[6] = {packet.magic,
                             packet.cmd,
                             static_cast<uint8_t>(packet.len),
                             static_cast<uint8_t>(packet.len >> 8),
                             packet.flags,
                             packet.code};
    Require(eproto_crc8(head, sizeof head, 0) == packet.hcrc);
    Require(eproto_crc8(packet.data, packet.len, 0) == packet.dcrc);
    std::string record(reinterpret_cast<const char*>(head), sizeof head);
    record.append(reinterpret_cast<const char*>(packet.data), packet.len);
    outcome.packets.push_back(std::move(record));
}

// Feeds `stream` in chunks whose sizes come from `sizes` in turn (a zero
// byte feeds an empty chunk, which must change nothing, and then one byte).
Outcome Cut(std::string_view stream, std::string_view sizes) {
    PacketStream cutter;
    Outcome outcome;
    const auto sink = [&](const eproto_header& packet) { Collect(outcome, packet); };
    std::size_t next = 0;
    while (!stream.empty()) {
        std::size_t size =
            sizes.empty() ? stream.size() : static_cast<uint8_t>(sizes[next++ % sizes.size()]);
        if (size == 0) {
            cutter.Feed({}, sink);
            size = 1;
        }
        const std::size_t taken = size < stream.size() ? size : stream.size();
        cutter.Feed(stream.substr(0, taken), sink);
        stream.remove_prefix(taken);
        Require(cutter.Backlog() < EPROTO_MAX_PACKET);
    }
    outcome.skipped = cutter.SkippedBytes();
    outcome.backlog = cutter.Backlog();
    return outcome;
}

} // namespace

// The first byte says how many of the following bytes give chunk sizes; the
// rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 0xFFFF) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t size_bytes = std::min<std::size_t>(data[0] % 16, input.size());
    const std::string_view sizes = input.substr(0, size_bytes);
    const std::string_view stream = input.substr(size_bytes);

    const Outcome whole = Cut(stream, {});
    Require(whole == Cut(stream, sizes));
    Require(whole == Cut(stream, std::string_view("\x01", 1))); // byte by byte
    return 0;
}
