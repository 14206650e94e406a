#include "protocol/ByteFields.h"

#include "protocol/eproto.h"

#include <cassert>

namespace velkor {

uint32_t ReadLe(std::string_view bytes, std::size_t offset, uint8_t width) {
    assert(width >= 1 && width <= 4 && offset + width <= bytes.size());
    uint16_t position = 0;
    return eproto_get_le(reinterpret_cast<const uint8_t*>(bytes.data() + offset), &position, width);
}

void AppendLe(std::string& bytes, uint32_t value, uint8_t width) {
    assert(width <= 4 && (width == 4 || value >> (8 * width) == 0));
    uint8_t field[4] = {};
    uint16_t position = 0;
    (void)eproto_put_le(field, &position, value, width);
    bytes.append(reinterpret_cast<const char*>(field), width);
}

} // namespace velkor
