#include "tools/PacketCutter.h"

#include <algorithm>

namespace sim {

void PacketCutter::Feed(const uint8_t* bytes, std::size_t count, const Visitor& visit) {
    while (count > 0) {
        const std::size_t take = std::min(count, kCapacity - buffer_.size());
        buffer_.insert(buffer_.end(), bytes, bytes + take);
        bytes += take;
        count -= take;
        Cut(visit);
    }
}

void PacketCutter::Cut(const Visitor& visit) {
    const auto total = static_cast<uint16_t>(buffer_.size());
    uint16_t position = 0;
    while (position < total) {
        if (buffer_[position] != velkor::EPROTO_MAGIC) {
            const auto next = std::find(buffer_.begin() + position + 1, buffer_.begin() + total,
                                        velkor::EPROTO_MAGIC);
            const auto skip = static_cast<uint16_t>(next - (buffer_.begin() + position));
            skipped_ += skip;
            position = static_cast<uint16_t>(position + skip);
            continue;
        }
        velkor::eproto_header header{};
        uint16_t after = position;
        const int16_t result = velkor::eproto_decode(buffer_.data(), &after, total, &header);
        if (result == 0) {
            visit(header);
            position = after;
        } else if (result > 0) {
            break; // a packet may still complete here
        } else {
            ++skipped_;
            ++position;
        }
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + position);
}

} // namespace sim
