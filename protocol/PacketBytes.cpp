#include "protocol/PacketBytes.h"

#include "protocol/eproto.h"

#include <cassert>
#include <limits>

namespace velkor {

namespace {

int16_t AppendTo(const uint8_t* bytes, uint16_t count, void* context) {
    if (count > 0) { // empty data may have no storage at all
        static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), count);
    }
    return static_cast<int16_t>(count);
}

} // namespace

std::string EncodePacket(uint8_t cmd, std::string_view data, uint8_t flags, uint8_t code) {
    assert(data.size() <= std::numeric_limits<uint16_t>::max());
    eproto_header header{};
    eproto_header_init(&header);
    header.cmd = cmd;
    header.flags = flags;
    header.code = code;
    header.len = static_cast<uint16_t>(data.size());
    header.data = reinterpret_cast<const uint8_t*>(data.data());
    std::string bytes;
    bytes.reserve(EPROTO_HEADER_SIZE + data.size());
    // AppendTo takes every byte, so the packet is always whole.
    [[maybe_unused]] const int16_t size = eproto_encode(&header, AppendTo, &bytes);
    assert(size == static_cast<int16_t>(EPROTO_HEADER_SIZE + header.len));
    return bytes;
}

} // namespace velkor
