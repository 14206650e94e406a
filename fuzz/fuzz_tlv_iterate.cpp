// Walks arbitrary bytes as TLV lists of every width combination; every value
// the visitor sees must lie inside the buffer.
#include "protocol/eproto.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace velkor {

namespace {

struct Bounds {
    const uint8_t* begin;
    const uint8_t* end;
};

int16_t CheckInside(uint32_t, uint32_t length, const uint8_t* value, void* context) {
    const auto* bounds = static_cast<const Bounds*>(context);
    if (value < bounds->begin || value > bounds->end || length > std::size_t(bounds->end - value)) {
        std::abort();
    }
    volatile uint8_t sink = 0;
    for (uint32_t n = 0; n < length; ++n) {
        sink = sink ^ value[n];
    }
    return 0;
}

} // namespace

} // namespace velkor

using namespace velkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFF) {
        return 0;
    }
    std::vector<uint8_t> copy(data, data + size);
    const Bounds bounds{copy.data(), copy.data() + copy.size()};
    for (uint8_t tag_width = 1; tag_width <= 4; ++tag_width) {
        for (uint8_t length_width = 1; length_width <= 4; ++length_width) {
            eproto_tlv cursor;
            if (eproto_tlv_init(&cursor, tag_width, length_width, copy.data(),
                                static_cast<uint16_t>(copy.size())) != EPROTO_TLV_OK) {
                std::abort(); // every width from 1 to 4 is valid
            }
            // The visitor never stops the walk, so only the walk's own results come back.
            const int16_t result = eproto_tlv_iterate(&cursor, CheckInside, (void*)&bounds);
            if (result != EPROTO_TLV_OK && result != EPROTO_TLV_TRUNCATED_FIELDS &&
                result != EPROTO_TLV_VALUE_PAST_END) {
                std::abort();
            }
        }
    }
    return 0;
}
