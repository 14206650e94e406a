// Where a discovery goes: every IPv4 interface that is up (its directed
// broadcast, address | ~mask) plus the limited broadcast 255.255.255.255; or
// one chosen interface; or exactly one address given by the user. A limited
// broadcast leaves through one interface only, so a computer on two networks
// needs the directed broadcasts to reach the controllers on both.
#pragma once

#include "net/UKVTSocket.h"

#include <optional>
#include <string>
#include <vector>

namespace velkor {

struct DiscoveryScope {
    enum class Kind {
        AllInterfaces, // the limited broadcast and every interface's directed broadcast
        OneInterface,  // the directed broadcast of the interface named in `value`
        OneAddress,    // exactly the address in `value`, nothing else
    };
    Kind kind = Kind::AllInterfaces;
    // OneInterface: the interface's system name ("eth0") or its IPv4 address;
    // OneAddress: a dotted IPv4 address.
    std::string value;
};

// The target addresses (dotted texts, no repeats, the limited broadcast first)
// for `scope` over `interfaces`; nothing, with `error` set, for an address
// that is not one or an interface that is not there or not up.
std::optional<std::vector<std::string>> DiscoveryTargets(const DiscoveryScope& scope,
                                                         const tNetworkInterfaceList& interfaces,
                                                         std::string* error);

// The same over this computer's interfaces as the system lists them now.
std::optional<std::vector<std::string>> DiscoveryTargets(const DiscoveryScope& scope,
                                                         std::string* error);

// The targets of a command to every controller: `targets` without the directed
// broadcast of the interface whose address is `limitedSource`, the one the
// limited broadcast leaves by. Its controllers hear the limited broadcast
// already, and would otherwise get every such command twice (a discovery may
// be answered twice, a reset should not happen twice). Unchanged when the
// limited broadcast is not among the targets or the source is unknown.
std::vector<std::string> CommandTargets(std::vector<std::string> targets,
                                        const tNetworkInterfaceList& interfaces,
                                        std::optional<uint32_t> limitedSource);

// Whether a discovery can go to the interface's directed broadcast: it is up
// and its network leaves room for a broadcast address.
bool CanScanOn(const tNetworkInterface& entry);

// "eth0 192.168.1.10/24".
std::string DescribeInterface(const tNetworkInterface& entry);
// The same for each interface that is up, for messages and help.
std::string DescribeInterfaces(const tNetworkInterfaceList& interfaces);

} // namespace velkor
