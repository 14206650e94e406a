// Cuts packets out of a TCP byte stream. Bytes that do not start a valid
// packet are skipped one at a time until the next valid packet, so garbage
// between packets costs only the garbage. The buffer never holds more than
// a fixed number of bytes, whatever the peer sends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "protocol/eproto.h"

namespace sim {

class PacketCutter {
public:
    // Larger than the largest packet, so a started packet always fits.
    static constexpr std::size_t kCapacity = 4 * velkor::EPROTO_MAX_PACKET;

    using Visitor = std::function<void(const velkor::eproto_header&)>;

    // Takes `count` bytes and calls `visit` for every complete packet, in
    // order. The header's data points into the cutter's buffer and is valid
    // only during the call.
    void Feed(const uint8_t* bytes, std::size_t count, const Visitor& visit);

    std::size_t skipped_bytes() const { return skipped_; }
    std::size_t buffered_bytes() const { return buffer_.size(); }

private:
    void Cut(const Visitor& visit);

    std::vector<uint8_t> buffer_;
    std::size_t skipped_ = 0;
};

} // namespace sim
