// Unit-wide pieces of the transport: the socket library's start for the whole
// program and the dotted IPv4 text of addresses.
#include "net/UKVTSocket.h"

#include "base/IPv4Text.h"

#include <cstring>

namespace velkor {

void KVT_StartSocketLibrary() {
    sockplat::StartLibrary();
}

namespace {
// The library is up before main runs in every program that links the sockets.
const bool library_started_at_load = (KVT_StartSocketLibrary(), true);
} // namespace

namespace {

// Host order (first octet most significant) to the bytes as they lie in a
// socket address, first octet first, and back.
uint32_t HostToNetworkOrder(uint32_t host) {
    const unsigned char octets[4] = {
        static_cast<unsigned char>(host >> 24), static_cast<unsigned char>(host >> 16),
        static_cast<unsigned char>(host >> 8), static_cast<unsigned char>(host)};
    uint32_t network;
    std::memcpy(&network, octets, sizeof network);
    return network;
}

uint32_t NetworkToHostOrder(uint32_t network) {
    unsigned char octets[4];
    std::memcpy(octets, &network, sizeof octets);
    return uint32_t{octets[0]} << 24 | uint32_t{octets[1]} << 16 | uint32_t{octets[2]} << 8 |
           uint32_t{octets[3]};
}

} // namespace

std::optional<uint32_t> KVT_ParseIPv4NetworkOrder(std::string_view text) {
    const std::optional<uint32_t> host = base::ParseIPv4HostOrder(text);
    if (!host) {
        return std::nullopt;
    }
    return HostToNetworkOrder(*host);
}

std::string KVT_IPv4TextFromNetworkOrder(uint32_t ip) {
    return base::IPv4TextFromHostOrder(NetworkToHostOrder(ip));
}

} // namespace velkor
