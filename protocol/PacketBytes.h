// A packet as the bytes on the wire: the header with both CRCs, then the
// data. The reader, the simulator, the tests and the benchmarks build their
// packets here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkor {

// `data` must fit the header's 16-bit length; a controller takes at most
// EPROTO_MAX_DATA bytes, which is the caller's to keep.
std::string EncodePacket(uint8_t cmd, std::string_view data, uint8_t flags = 0, uint8_t code = 0);

} // namespace velkor
