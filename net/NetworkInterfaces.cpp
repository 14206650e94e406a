// The computer's IPv4 interfaces with their network and broadcast addresses.
#include "net/UKVTSocket.h"

namespace velkor {

tNetworkInterface MakeNetworkInterface(std::string name, uint32_t ip, uint32_t mask,
                                       uint32_t broadcast, unsigned flags) {
    tNetworkInterface entry;
    entry.Name = std::move(name);
    entry.IP = ip;
    entry.Mask = mask;
    entry.NetAddress = ip & mask;
    entry.LimitedBroadcast = broadcast;
    entry.DirectedBroadcast = entry.NetAddress | ~mask;
    entry.IsUp = (flags & sockplat::kIfUp) != 0;
    entry.CanBroadcast = (flags & sockplat::kIfBroadcast) != 0;
    entry.IsLoopback = (flags & sockplat::kIfLoopback) != 0;
    return entry;
}

bool GetNetworkInterfaces(tNetworkInterfaceList& list) {
    list.clear();
    KVT_StartSocketLibrary();
    std::vector<sockplat::InterfaceRecord> records;
    if (!sockplat::ListInterfaces(records)) {
        return false;
    }
    const std::string name = sockplat::ComputerName();
    list.reserve(records.size());
    for (const sockplat::InterfaceRecord& record : records) {
        list.push_back(
            MakeNetworkInterface(name, record.ip, record.mask, record.broadcast, record.flags));
        list.back().InterfaceName = record.name;
    }
    return true;
}

std::optional<uint32_t> LimitedBroadcastSource() {
    KVT_StartSocketLibrary();
    const sockplat::SocketHandle probe = sockplat::OpenDatagram();
    if (probe == sockplat::kNoSocket) {
        return std::nullopt;
    }
    // Connecting a datagram socket sends nothing: the system only chooses the
    // route and the local address it would send from. The port is any.
    constexpr uint32_t kLimited = 0xFFFFFFFF;
    constexpr uint16_t kAnyPort = 9;
    std::optional<uint32_t> source;
    if (sockplat::SetBroadcast(probe) && sockplat::Connect(probe, kLimited, kAnyPort)) {
        if (const uint32_t address = sockplat::BoundAddress(probe); address != 0) {
            source = address;
        }
    }
    sockplat::CloseSocket(probe);
    return source;
}

} // namespace velkor
