#include "session/DiscoveryAnswer.h"

#include "protocol/ControllerContract.h"

namespace velkor {

std::optional<DiscoveryAnswer> DiscoveryAnswerOf(const TRFIDReaderPacket& packet) {
    if (packet.cmd != contract::kDiscoverReply) {
        return std::nullopt;
    }
    std::optional<TRFIDReaderTLVStruct> items = ReadDiscoveryItems(packet.data);
    if (!items) {
        return std::nullopt;
    }
    return DiscoveryAnswer{std::move(*items), packet.Datagram.FromIP, packet.Datagram.FromPort};
}

std::string ControllerKey(const DiscoveryAnswer& answer) {
    const TRFIDReaderTLVStruct& items = answer.Items;
    std::string key = items.MAC;
    key += '\0';
    key += items.IPText.empty() ? answer.FromIP : items.IPText;
    key += ':' + std::to_string(items.TCPPort);
    return key;
}

bool DiscoveryAnswerSet::Add(const DiscoveryAnswer& answer) {
    if (!seen_.insert(ControllerKey(answer)).second) {
        return false;
    }
    answers_.push_back(answer);
    return true;
}

void DiscoveryAnswerSet::Clear() {
    answers_.clear();
    seen_.clear();
}

} // namespace velkor
