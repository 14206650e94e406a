// Packet header encode/decode and the table-driven CRC-8.
#include "protocol/eproto.h"

#include <array>

namespace velkor {

namespace {

constexpr std::array<uint8_t, 256> MakeCrc8Table() {
    std::array<uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        uint8_t crc = static_cast<uint8_t>(value);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80) ? static_cast<uint8_t>((crc << 1) ^ 0x07)
                               : static_cast<uint8_t>(crc << 1);
        }
        table[value] = crc;
    }
    return table;
}

constexpr std::array<uint8_t, 256> kCrc8Table = MakeCrc8Table();
static_assert(kCrc8Table[1] == 0x07 && kCrc8Table[128] == 0x89 && kCrc8Table[255] == 0xF3);

} // namespace

uint8_t eproto_crc8(const uint8_t* bytes, std::size_t count, uint8_t initial) {
    uint8_t crc = initial;
    for (std::size_t n = 0; n < count; ++n) {
        crc = kCrc8Table[crc ^ bytes[n]];
    }
    return crc;
}

void eproto_header_init(eproto_header* header) {
    *header = eproto_header{EPROTO_MAGIC, 6, 0, 0, 0, 0, 0, nullptr};
}

int16_t eproto_encode(eproto_header* header, eproto_writer writer, void* context) {
    header->magic = EPROTO_MAGIC;
    uint8_t scratch[EPROTO_HEADER_SIZE] = {
        header->magic,
        header->cmd,
        static_cast<uint8_t>(header->len & 0xFF),
        static_cast<uint8_t>(header->len >> 8),
        header->flags,
        header->code,
        0,
        0,
    };
    header->hcrc = eproto_crc8(scratch, 6, 0);
    header->dcrc = eproto_crc8(header->data, header->len, 0);
    scratch[6] = header->hcrc;
    scratch[7] = header->dcrc;

    int16_t result = writer(scratch, EPROTO_HEADER_SIZE, context);
    if (result < 0) {
        return result;
    }
    result = writer(header->data, header->len, context);
    if (result < 0) {
        return result;
    }
    return static_cast<int16_t>(EPROTO_HEADER_SIZE + header->len);
}

int16_t eproto_decode_header(const uint8_t* bytes, std::size_t available, eproto_header* header) {
    if (available < EPROTO_HEADER_SIZE) {
        return static_cast<int16_t>(EPROTO_HEADER_SIZE - available);
    }
    header->magic = bytes[0];
    header->cmd = bytes[1];
    header->len = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
    header->flags = bytes[4];
    header->code = bytes[5];
    header->hcrc = bytes[6];
    header->dcrc = bytes[7];
    if (header->magic != EPROTO_MAGIC) {
        return EPROTO_DECODE_BAD_MAGIC;
    }
    if (header->len > EPROTO_MAX_DATA) {
        return EPROTO_DECODE_BAD_LENGTH;
    }
    if (eproto_crc8(bytes, 6, 0) != header->hcrc) {
        return EPROTO_DECODE_BAD_HEADER_CRC;
    }
    return EPROTO_DECODE_OK;
}

int16_t eproto_decode(const uint8_t* buffer, uint16_t* position, uint16_t total,
                      eproto_header* header) {
    const uint16_t start = *position;
    const std::size_t remaining = total > start ? total - start : 0;
    const int16_t result = eproto_decode_header(buffer + start, remaining, header);
    if (result != EPROTO_DECODE_OK) {
        return result;
    }
    const std::size_t packet_size = EPROTO_HEADER_SIZE + header->len;
    if (remaining < packet_size) {
        return static_cast<int16_t>(packet_size - remaining);
    }
    header->data = buffer + start + EPROTO_HEADER_SIZE;
    if (eproto_crc8(header->data, header->len, 0) != header->dcrc) {
        return EPROTO_DECODE_BAD_DATA_CRC;
    }
    *position = static_cast<uint16_t>(start + packet_size);
    return EPROTO_DECODE_OK;
}

} // namespace velkor
