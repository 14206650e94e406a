// TLV cursor, little/big-endian packing and hexadecimal text.
#include "protocol/eproto.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velkor {

namespace {

constexpr uint8_t kMaxPackWidth = 8;

uint8_t TagWidth(uint8_t widths) {
    return static_cast<uint8_t>(((widths >> 2) & 3) + 1);
}
uint8_t LengthWidth(uint8_t widths) {
    return static_cast<uint8_t>((widths & 3) + 1);
}

bool Fits(const eproto_tlv* cursor, std::size_t bytes) {
    return cursor->position <= cursor->capacity &&
           bytes <= static_cast<std::size_t>(cursor->capacity - cursor->position);
}

constexpr std::array<int8_t, 256> MakeHexValueTable() {
    std::array<int8_t, 256> table{};
    for (auto& entry : table) {
        entry = -1;
    }
    for (int c = '0'; c <= '9'; ++c) {
        table[c] = static_cast<int8_t>(c - '0');
    }
    for (int c = 'A'; c <= 'F'; ++c) {
        table[c] = static_cast<int8_t>(c - 'A' + 10);
        table[c + ('a' - 'A')] = static_cast<int8_t>(c - 'A' + 10);
    }
    return table;
}

constexpr std::array<int8_t, 256> kHexValue = MakeHexValueTable();
constexpr char kHexDigits[] = "0123456789ABCDEF";

} // namespace

bool eproto_put_le(uint8_t* buffer, uint16_t* position, uint32_t value, uint8_t width) {
    width = std::clamp<uint8_t>(width, 1, kMaxPackWidth);
    for (uint8_t k = 0; k < width; ++k) {
        buffer[*position + k] = k < 4 ? static_cast<uint8_t>(value >> (8 * k)) : 0;
    }
    *position = static_cast<uint16_t>(*position + width);
    return true;
}

uint32_t eproto_get_le(const uint8_t* buffer, uint16_t* position, uint8_t width) {
    width = std::clamp<uint8_t>(width, 1, kMaxPackWidth);
    uint32_t value = 0;
    for (uint8_t k = 0; k < width && k < 4; ++k) {
        value |= static_cast<uint32_t>(buffer[*position + k]) << (8 * k);
    }
    *position = static_cast<uint16_t>(*position + width);
    return value;
}

uint32_t eproto_get_be(const uint8_t* buffer, uint16_t* position, uint8_t width) {
    width = std::min(width, kMaxPackWidth);
    uint32_t value = 0;
    for (uint8_t k = 0; k < width; ++k) {
        value = (value << 8) | buffer[*position + k];
    }
    *position = static_cast<uint16_t>(*position + width);
    return value;
}

int16_t eproto_tlv_init(eproto_tlv* cursor, uint8_t tag_width, uint8_t length_width, uint8_t* data,
                        uint16_t capacity) {
    if (tag_width < 1 || tag_width > 4 || length_width < 1 || length_width > 4) {
        return EPROTO_TLV_BAD_WIDTH;
    }
    cursor->data = data;
    cursor->capacity = capacity;
    cursor->position = 0;
    cursor->widths = static_cast<uint8_t>(((tag_width - 1) << 2) | (length_width - 1));
    return EPROTO_TLV_OK;
}

int16_t eproto_tlv_put_int(eproto_tlv* cursor, uint16_t tag, uint32_t value, uint8_t width) {
    const uint8_t tag_width = TagWidth(cursor->widths);
    const uint8_t length_width = LengthWidth(cursor->widths);
    if (!Fits(cursor, std::size_t{tag_width} + length_width + width)) {
        return EPROTO_TLV_NO_ROOM;
    }
    eproto_put_le(cursor->data, &cursor->position, tag, tag_width);
    eproto_put_le(cursor->data, &cursor->position, width, length_width);
    eproto_put_le(cursor->data, &cursor->position, value, width);
    return EPROTO_TLV_OK;
}

int16_t eproto_tlv_put_bytes(eproto_tlv* cursor, uint16_t tag, const uint8_t* source,
                             uint16_t count) {
    const uint8_t tag_width = TagWidth(cursor->widths);
    const uint8_t length_width = LengthWidth(cursor->widths);
    if (!Fits(cursor, std::size_t{tag_width} + length_width + count)) {
        return EPROTO_TLV_NO_ROOM;
    }
    eproto_put_le(cursor->data, &cursor->position, tag, tag_width);
    eproto_put_le(cursor->data, &cursor->position, count, length_width);
    if (count > 0) {
        std::memcpy(cursor->data + cursor->position, source, count);
    }
    cursor->position = static_cast<uint16_t>(cursor->position + count);
    return EPROTO_TLV_OK;
}

int16_t eproto_tlv_iterate(eproto_tlv* cursor, eproto_tlv_visitor visitor, void* context) {
    const uint8_t tag_width = TagWidth(cursor->widths);
    const uint8_t length_width = LengthWidth(cursor->widths);
    while (cursor->position < cursor->capacity) {
        if (std::size_t{cursor->position} + tag_width + length_width > cursor->capacity) {
            return EPROTO_TLV_TRUNCATED_FIELDS;
        }
        const uint32_t tag = eproto_get_le(cursor->data, &cursor->position, tag_width);
        const uint32_t length = eproto_get_le(cursor->data, &cursor->position, length_width);
        if (std::size_t{cursor->position} + length > cursor->capacity) {
            return EPROTO_TLV_VALUE_PAST_END;
        }
        const int16_t result = visitor(tag, length, cursor->data + cursor->position, context);
        if (result < 0) {
            return result;
        }
        cursor->position = static_cast<uint16_t>(cursor->position + length);
    }
    return EPROTO_TLV_OK;
}

std::string eproto_bytes_at(std::string_view data, uint16_t offset, uint16_t count) {
    if (offset >= data.size()) {
        return {};
    }
    return std::string(data.substr(offset, count));
}

std::string eproto_bytes_to_hex(const uint8_t* data, std::size_t count,
                                std::string_view separator) {
    std::string text;
    if (count == 0) {
        return text;
    }
    text.reserve(count * (2 + separator.size()));
    for (std::size_t n = 0; n < count; ++n) {
        if (n > 0) {
            text += separator;
        }
        text += kHexDigits[data[n] >> 4];
        text += kHexDigits[data[n] & 0x0F];
    }
    return text;
}

std::string eproto_hex_to_bytes(std::string_view text, std::size_t length) {
    length = std::min(length, text.size()) & ~std::size_t{1};
    if (length < 2 || length > 1024) {
        return {};
    }
    std::string bytes(length / 2, '\0');
    for (std::size_t n = 0; n < length; n += 2) {
        const int8_t high = kHexValue[static_cast<uint8_t>(text[n])];
        const int8_t low = kHexValue[static_cast<uint8_t>(text[n + 1])];
        if (high < 0 || low < 0) {
            return {};
        }
        bytes[n / 2] = static_cast<char>((high << 4) | low);
    }
    return bytes;
}

} // namespace velkor
