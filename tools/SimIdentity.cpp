#include "tools/SimIdentity.h"

#include "base/IPv4Text.h"

namespace sim {

std::string Ipv4Bytes(uint32_t address) {
    return std::string{static_cast<char>(address >> 24), static_cast<char>(address >> 16),
                       static_cast<char>(address >> 8), static_cast<char>(address)};
}

bool IsLoopback(uint32_t address) {
    return (address >> 24) == 127;
}

uint32_t ControllerNetmask(uint32_t address) {
    return IsLoopback(address) ? 0xFF000000u : 0xFFFFFF00u;
}

uint32_t SubnetBroadcast(uint32_t address) {
    return address | ~ControllerNetmask(address);
}

std::vector<uint32_t> GenerateAddresses(uint32_t first, std::size_t count, std::string* error) {
    std::vector<uint32_t> result;
    result.reserve(count);
    uint64_t next = first;
    while (result.size() < count) {
        const auto candidate = static_cast<uint32_t>(next);
        const bool left_range = next > 0xFFFFFFFFu || (IsLoopback(first) && !IsLoopback(candidate));
        if (left_range) {
            if (error != nullptr) {
                *error = "not enough addresses after " + base::IPv4TextFromHostOrder(first) +
                         " for " + std::to_string(count) + " controllers";
            }
            return {};
        }
        const uint32_t last_octet = candidate & 0xFF;
        if (last_octet != 0 && last_octet != 255) {
            result.push_back(candidate);
        }
        ++next;
    }
    return result;
}

std::string MacForIndex(std::size_t index) {
    // 0x02 marks a locally administered unicast address.
    return std::string{0x02,
                       0x56,
                       0x4B,
                       static_cast<char>(index >> 16),
                       static_cast<char>(index >> 8),
                       static_cast<char>(index)};
}

} // namespace sim
