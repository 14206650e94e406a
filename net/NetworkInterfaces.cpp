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

} // namespace velkor
