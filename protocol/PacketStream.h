// Cuts packets out of a TCP byte stream; the reader and the controller
// simulator both cut their streams with it. Complete packets are handed on in
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
    // Bytes skipped as not starting a valid packet since the stream began.
    std::size_t SkippedBytes() const { return skipped_; }

private:
    // Skips from `offset` to the next magic byte after it, or to the end.
    void SkipToNextMagic(std::size_t& offset);

    std::string pending_;
    std::size_t skipped_ = 0;
};

} // namespace velkor
