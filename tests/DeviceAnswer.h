// Test support: the discovery answer of a controller at a.b.c.d whose MAC
// address ends in c and d, for the window tests of both front ends.
#pragma once

#include "net/UKVTSocket.h"
#include "session/DiscoveryAnswer.h"

#include <cstdint>
#include <string>

namespace velkor {

inline DiscoveryAnswer DeviceAt(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    DiscoveryAnswer answer;
    answer.Items.IPText = std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) +
                          "." + std::to_string(d);
    answer.Items.IP = *KVT_ParseIPv4NetworkOrder(answer.Items.IPText);
    answer.Items.MAC = std::string{0, 0, 0, 0, static_cast<char>(c), static_cast<char>(d)};
    return answer;
}

} // namespace velkor
