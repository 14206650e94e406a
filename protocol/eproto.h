// The controllers' packet protocol: header with two CRC-8 checksums, the TLV
// cursor with its byte and hex helpers, and the salted RC4 packet cipher.
// Every function here works on caller memory; only the helpers that return a
// byte string or text allocate. Results are signed 16-bit codes: 0 success,
// negative errors, positive counts of bytes still missing (packet decoders).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// ---- Packet header and checksums ----

inline constexpr uint8_t EPROTO_MAGIC = 0x2A;
inline constexpr uint16_t EPROTO_HEADER_SIZE = 8;
inline constexpr uint16_t EPROTO_MAX_DATA = 135;
inline constexpr uint16_t EPROTO_MAX_PACKET = EPROTO_HEADER_SIZE + EPROTO_MAX_DATA;

struct eproto_header {
    uint8_t magic;
    uint8_t cmd;
    uint16_t len;
    uint8_t flags;
    uint8_t code;
    uint8_t hcrc;
    uint8_t dcrc;
    const uint8_t* data; // not owned
};

// Results of the packet decoders; a positive result counts the bytes still
// missing.
enum eproto_decode_result : int16_t {
    EPROTO_DECODE_OK = 0,
    EPROTO_DECODE_BAD_MAGIC = -1,      // the first byte is not EPROTO_MAGIC
    EPROTO_DECODE_BAD_LENGTH = -2,     // len over EPROTO_MAX_DATA
    EPROTO_DECODE_BAD_HEADER_CRC = -3, // hcrc does not match bytes 0-5
    EPROTO_DECODE_BAD_DATA_CRC = -4,   // dcrc does not match the data (eproto_decode only)
};

// Receives encoded bytes; returns the count taken or a negative value to abort.
using eproto_writer = int16_t (*)(const uint8_t* bytes, uint16_t count, void* context);

// CRC-8, polynomial 0x07, MSB first, no reflection, no final XOR.
uint8_t eproto_crc8(const uint8_t* bytes, std::size_t count, uint8_t initial);

void eproto_header_init(eproto_header* header);
// The packet's size, or the writer's negative result.
[[nodiscard]] int16_t eproto_encode(eproto_header* header, eproto_writer writer, void* context);
[[nodiscard]] int16_t eproto_decode_header(const uint8_t* bytes, std::size_t available,
                                           eproto_header* header);
[[nodiscard]] int16_t eproto_decode(const uint8_t* buffer, uint16_t* position, uint16_t total,
                                    eproto_header* header);

// ---- TLV cursor and byte helpers ----

struct eproto_tlv {
    uint8_t* data; // not owned
    uint16_t capacity;
    uint16_t position;
    uint8_t widths; // bits 2-3: tag width - 1; bits 0-1: length width - 1
};

using eproto_tlv_visitor = int16_t (*)(uint32_t tag, uint32_t length, const uint8_t* value,
                                       void* context);

// A growable scratch byte array.
using eproto_buffer = std::vector<uint8_t>;

// Results of the TLV cursor; eproto_tlv_iterate also returns a visitor's
// negative result unchanged.
enum eproto_tlv_result : int16_t {
    EPROTO_TLV_OK = 0,
    EPROTO_TLV_BAD_WIDTH = -1,        // init: a tag or length width outside 1..4
    EPROTO_TLV_NO_ROOM = -1,          // put: the item does not fit before capacity
    EPROTO_TLV_TRUNCATED_FIELDS = -1, // iterate: fewer bytes left than a tag and a length
    EPROTO_TLV_VALUE_PAST_END = -2,   // iterate: an item's value runs past capacity
};

[[nodiscard]] int16_t eproto_tlv_init(eproto_tlv* cursor, uint8_t tag_width, uint8_t length_width,
                                      uint8_t* data, uint16_t capacity);
[[nodiscard]] int16_t eproto_tlv_put_int(eproto_tlv* cursor, uint16_t tag, uint32_t value,
                                         uint8_t width);
[[nodiscard]] int16_t eproto_tlv_put_bytes(eproto_tlv* cursor, uint16_t tag, const uint8_t* source,
                                           uint16_t count);
[[nodiscard]] int16_t eproto_tlv_iterate(eproto_tlv* cursor, eproto_tlv_visitor visitor,
                                         void* context);

bool eproto_put_le(uint8_t* buffer, uint16_t* position, uint32_t value, uint8_t width);
uint32_t eproto_get_le(const uint8_t* buffer, uint16_t* position, uint8_t width);
uint32_t eproto_get_be(const uint8_t* buffer, uint16_t* position, uint8_t width);
std::string eproto_bytes_at(std::string_view data, uint16_t offset, uint16_t count);
std::string eproto_bytes_to_hex(const uint8_t* data, std::size_t count, std::string_view separator);
std::string eproto_hex_to_bytes(std::string_view text, std::size_t length);

// Convenience overloads for byte strings.
inline std::string eproto_bytes_to_hex(std::string_view data, std::string_view separator = "") {
    return eproto_bytes_to_hex(reinterpret_cast<const uint8_t*>(data.data()), data.size(),
                               separator);
}
inline std::string eproto_hex_to_bytes(std::string_view text) {
    return eproto_hex_to_bytes(text, text.size());
}

// ---- Packet cipher ----

inline constexpr uint16_t EPROTO_CIPHER_OVERHEAD = 8; // salt 3, filler 3, check bytes 2
inline constexpr uint16_t EPROTO_CIPHER_PAYLOAD_OFFSET = 6;

struct eproto_cipher {
    uint8_t* buffer; // not owned
    uint16_t size;
    uint16_t position;
};

// Results of the packet cipher. A wrong key, a corrupted field and a field
// never enciphered all end in one of the two check failures.
enum eproto_cipher_result : int16_t {
    EPROTO_CIPHER_OK = 0,
    EPROTO_CIPHER_TOO_SHORT = -1,       // under 8 bytes, or no key to encipher with
    EPROTO_CIPHER_BAD_SALT_CHECK = -2,  // the first check byte (over bytes 0-5) is wrong
    EPROTO_CIPHER_BAD_FIELD_CHECK = -3, // the second check byte (over filler and payload) is wrong
};

[[nodiscard]] int16_t eproto_cipher_init(eproto_cipher* context, uint8_t* buffer, uint16_t size,
                                         bool fill);
[[nodiscard]] int16_t eproto_cipher_crypt(eproto_cipher* context, const uint8_t* key,
                                          std::size_t key_length);
[[nodiscard]] int16_t eproto_cipher_decrypt(eproto_cipher* context, const uint8_t* key,
                                            std::size_t key_length);

// Builds an enciphered field around `payload` (what a sender does; the
// configurator only deciphers). `out` must hold payload_length + 8 bytes.
[[nodiscard]] int16_t eproto_cipher_seal(uint8_t* out, const uint8_t* payload,
                                         uint16_t payload_length, const uint8_t* key,
                                         std::size_t key_length);

} // namespace velkor
