// Cuts packets out of the TCP byte stream. Complete packets are handed on in
// order; a packet split over several chunks waits for its last byte; bytes
// that cannot start a valid packet (wrong magic, length over 135, a checksum
// mismatch) are skipped up to the next possible packet start, so one bad byte
// never stops the stream and the kept backlog never exceeds one packet.
#pragma once

#include "protocol/eproto.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace velkor {

class PacketStream {
public:
    // Called with each packet cut; its data points into the stream's buffer
    // and stays valid for the call only.
    using PacketSink = std::function<void(const eproto_header& packet)>;

    // Appends a chunk and hands on every packet now complete.
    void Feed(std::string_view chunk, const PacketSink& sink);
    // Forgets everything kept (a new session starts).
    void Reset();
    // Bytes kept while waiting for the rest of a packet.
    std::size_t Backlog() const { return pending_.size(); }

private:
    std::string pending_;
};

} // namespace velkor
