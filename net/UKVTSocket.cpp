// Unit-wide pieces of the transport: the socket library's start for the whole
// program and the dotted IPv4 text of addresses.
#include "net/UKVTSocket.h"

#include <charconv>
#include <cstring>

namespace velkor {

void KVT_StartSocketLibrary() {
    sockplat::StartLibrary();
}

namespace {
// The library is up before main runs in every program that links the sockets.
const bool library_started_at_load = (KVT_StartSocketLibrary(), true);
} // namespace

std::optional<uint32_t> KVT_ParseIPv4(std::string_view text) {
    unsigned char octets[4];
    const char* p = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (p == end || *p != '.') {
                return std::nullopt;
            }
            ++p;
        }
        // One to three decimal digits, no sign, no spaces.
        const char* digits_end = p;
        while (digits_end != end && digits_end - p < 4 && *digits_end >= '0' &&
               *digits_end <= '9') {
            ++digits_end;
        }
        unsigned value = 0;
        if (digits_end == p || digits_end - p > 3 ||
            std::from_chars(p, digits_end, value).ptr != digits_end || value > 255) {
            return std::nullopt;
        }
        octets[i] = static_cast<unsigned char>(value);
        p = digits_end;
    }
    if (p != end) {
        return std::nullopt;
    }
    uint32_t ip;
    std::memcpy(&ip, octets, sizeof ip);
    return ip;
}

std::string KVT_IPv4ToText(uint32_t ip) {
    unsigned char octets[4];
    std::memcpy(octets, &ip, sizeof octets);
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            text += '.';
        }
        text += std::to_string(octets[i]);
    }
    return text;
}

} // namespace velkor
