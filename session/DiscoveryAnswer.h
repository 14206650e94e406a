// A discovery answer with every item it carries and where it came from, and
// the set of answers of one scan, in which a controller heard on two paths
// (the limited and a directed broadcast) counts once.
#pragma once

#include "session/DiscoveryReply.h"
#include "session/ReaderRecords.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velkor {

struct DiscoveryAnswer {
    TRFIDReaderTLVStruct Items;
    std::string FromIP; // the sender's address as the datagram gave it
    uint16_t FromPort = 0;
};

// The answer in a packet with cmd 135; nothing for any other packet or a
// malformed answer.
std::optional<DiscoveryAnswer> DiscoveryAnswerOf(const TRFIDReaderPacket& packet);

// What tells one controller from another: its MAC, address and TCP port (the
// sender's address where the answer names none). The same controller heard on
// two paths gives the same key.
std::string ControllerKey(const DiscoveryAnswer& answer);

// One answer per controller (by ControllerKey).
class DiscoveryAnswerSet {
public:
    // Keeps the answer unless its controller is already in the set; returns
    // whether it was kept.
    bool Add(const DiscoveryAnswer& answer);
    const std::vector<DiscoveryAnswer>& Answers() const { return answers_; }
    std::size_t Size() const { return answers_.size(); }
    void Clear();

private:
    std::vector<DiscoveryAnswer> answers_;
    std::set<std::string> seen_;
};

} // namespace velkor
