// Cuts an arbitrary byte stream into packets the way a TCP reader does:
// decode at the front, drop a packet on success, skip one byte on a bad
// header, stop when more bytes are needed.
#include "protocol/eproto.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFF) {
        return 0;
    }
    const auto total = static_cast<uint16_t>(size);
    uint16_t position = 0;
    while (position < total) {
        eproto_header header;
        const uint16_t before = position;
        const int16_t result = eproto_decode(data, &position, total, &header);
        if (result == EPROTO_DECODE_OK) {
            if (position != before + EPROTO_HEADER_SIZE + header.len ||
                header.len > EPROTO_MAX_DATA || header.data != data + before + EPROTO_HEADER_SIZE) {
                std::abort();
            }
            continue;
        }
        if (position != before) {
            std::abort();
        }
        if (result > 0) {
            // The shortfall completes a header or a whole packet, never more.
            const std::size_t wanted = static_cast<std::size_t>(total - before) + result;
            if (wanted < EPROTO_HEADER_SIZE || wanted > EPROTO_MAX_PACKET) {
                std::abort();
            }
            break;
        }
        position = static_cast<uint16_t>(before + 1);
    }
    return 0;
}
