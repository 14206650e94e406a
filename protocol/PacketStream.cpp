#include "protocol/PacketStream.h"

#include <algorithm>
#include <limits>

namespace velkor {

void PacketStream::Feed(std::string_view chunk, const PacketSink& sink) {
    pending_.append(chunk);
    const auto* bytes = reinterpret_cast<const uint8_t*>(pending_.data());
    std::size_t offset = 0;
    while (offset < pending_.size()) {
        // A byte that is not a magic byte never starts a packet: skip it at
        // once, so what is kept (and counted as skipped) does not depend on
        // how the stream was chunked.
        if (bytes[offset] != EPROTO_MAGIC) {
            SkipToNextMagic(offset);
            continue;
        }
        // The decoder counts in 16 bits; a window of that size always holds a
        // whole packet, so a longer backlog is simply decoded in steps.
        const auto window = static_cast<uint16_t>(
            std::min<std::size_t>(pending_.size() - offset, std::numeric_limits<uint16_t>::max()));
        uint16_t position = 0;
        eproto_header header{};
        const int16_t result = eproto_decode(bytes + offset, &position, window, &header);
        if (result > 0) {
            break; // the rest of a packet is still on its way
        }
        if (result < 0) {
            SkipToNextMagic(offset);
            continue;
        }
        offset += position;
        sink(header);
    }
    pending_.erase(0, offset);
}

void PacketStream::SkipToNextMagic(std::size_t& offset) {
    const std::size_t next = pending_.find(static_cast<char>(EPROTO_MAGIC), offset + 1);
    const std::size_t resume = next == std::string::npos ? pending_.size() : next;
    skipped_ += resume - offset;
    offset = resume;
}

void PacketStream::Reset() {
    pending_.clear();
    skipped_ = 0;
}

} // namespace velkor
