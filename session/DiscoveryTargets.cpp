#include "session/DiscoveryTargets.h"

#include "protocol/ControllerContract.h"

#include <algorithm>
#include <bit>

namespace velkor {

namespace {

void AddOnce(std::vector<std::string>& targets, std::string address) {
    if (std::find(targets.begin(), targets.end(), address) == targets.end()) {
        targets.push_back(std::move(address));
    }
}

bool Names(const tNetworkInterface& entry, const std::string& name) {
    return entry.InterfaceName == name || KVT_IPv4TextFromNetworkOrder(entry.IP) == name;
}

} // namespace

std::optional<std::vector<std::string>> DiscoveryTargets(const DiscoveryScope& scope,
                                                         const tNetworkInterfaceList& interfaces,
                                                         std::string* error) {
    const auto fail = [error](std::string text) {
        if (error != nullptr) {
            *error = std::move(text);
        }
        return std::nullopt;
    };
    std::vector<std::string> targets;
    switch (scope.kind) {
    case DiscoveryScope::Kind::OneAddress:
        if (!KVT_ParseIPv4NetworkOrder(scope.value)) {
            return fail("not an IPv4 address: \"" + scope.value + "\"");
        }
        targets.push_back(scope.value);
        break;
    case DiscoveryScope::Kind::OneInterface: {
        const auto found =
            std::find_if(interfaces.begin(), interfaces.end(), [&](const tNetworkInterface& entry) {
                return CanScanOn(entry) && Names(entry, scope.value);
            });
        if (found == interfaces.end()) {
            return fail(
                "no interface \"" + scope.value +
                "\" that is up and can broadcast; interfaces: " + DescribeInterfaces(interfaces));
        }
        targets.push_back(KVT_IPv4TextFromNetworkOrder(found->DirectedBroadcast));
        break;
    }
    case DiscoveryScope::Kind::AllInterfaces:
        targets.push_back(contract::kLimitedBroadcast);
        for (const tNetworkInterface& entry : interfaces) {
            if (CanScanOn(entry)) {
                AddOnce(targets, KVT_IPv4TextFromNetworkOrder(entry.DirectedBroadcast));
            }
        }
        break;
    }
    return targets;
}

std::optional<std::vector<std::string>> DiscoveryTargets(const DiscoveryScope& scope,
                                                         std::string* error) {
    tNetworkInterfaceList interfaces;
    if (scope.kind != DiscoveryScope::Kind::OneAddress && !GetNetworkInterfaces(interfaces)) {
        if (error != nullptr) {
            *error = "the list of network interfaces could not be read";
        }
        return std::nullopt;
    }
    return DiscoveryTargets(scope, interfaces, error);
}

std::vector<std::string> CommandTargets(std::vector<std::string> targets,
                                        const tNetworkInterfaceList& interfaces,
                                        std::optional<uint32_t> limitedSource) {
    const bool limited =
        std::find(targets.begin(), targets.end(), contract::kLimitedBroadcast) != targets.end();
    if (!limited || !limitedSource) {
        return targets;
    }
    for (const tNetworkInterface& entry : interfaces) {
        const std::string directed = KVT_IPv4TextFromNetworkOrder(entry.DirectedBroadcast);
        if (entry.IP == *limitedSource && CanScanOn(entry) &&
            directed != contract::kLimitedBroadcast) {
            std::erase(targets, directed);
        }
    }
    return targets;
}

bool CanScanOn(const tNetworkInterface& entry) {
    // Host bits of a /31 or /32 network leave no broadcast address.
    return entry.IsUp && std::popcount(entry.Mask) <= 30;
}

std::string DescribeInterface(const tNetworkInterface& entry) {
    return (entry.InterfaceName.empty() ? "?" : entry.InterfaceName) + " " +
           KVT_IPv4TextFromNetworkOrder(entry.IP) + "/" + std::to_string(std::popcount(entry.Mask));
}

std::string DescribeInterfaces(const tNetworkInterfaceList& interfaces) {
    std::string text;
    for (const tNetworkInterface& entry : interfaces) {
        if (entry.IsUp) {
            text += (text.empty() ? "" : ", ") + DescribeInterface(entry);
        }
    }
    return text.empty() ? "none up" : text;
}

} // namespace velkor
