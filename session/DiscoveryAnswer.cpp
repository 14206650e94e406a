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

bool DiscoveryAnswerSet::Add(const DiscoveryAnswer& answer) {
    const TRFIDReaderTLVStruct& items = answer.Items;
    const std::string address = items.IPText.empty() ? answer.FromIP : items.IPText;
    std::string key = items.MAC;
    key += '\0';
    key += address;
    key += ':' + std::to_string(items.TCPPort);
    if (!seen_.insert(std::move(key)).second) {
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
