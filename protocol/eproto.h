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

// Receives encoded bytes; returns the count taken or a negative value to abort.
using eproto_writer = int16_t (*)(const uint8_t* bytes, uint16_t count, void* context);

// CRC-8, polynomial 0x07, MSB first, no reflection, no final XOR.
uint8_t eproto_crc8(const uint8_t* bytes, std::size_t count, uint8_t initial);

void eproto_header_init(eproto_header* header);
int16_t eproto_encode(eproto_header* header, eproto_writer writer, void* context);
int16_t eproto_decode_header(const uint8_t* bytes, std::size_t available, eproto_header* header);
int16_t eproto_decode(const uint8_t* buffer, uint16_t* position, uint16_t total,
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

int16_t eproto_tlv_init(eproto_tlv* cursor, uint8_t tag_width, uint8_t length_width, uint8_t* data,
                        uint16_t capacity);
int16_t eproto_tlv_put_int(eproto_tlv* cursor, uint16_t tag, uint32_t value, uint8_t width);
int16_t eproto_tlv_put_bytes(eproto_tlv* cursor, uint16_t tag, const uint8_t* source,
                             uint16_t count);
int16_t eproto_tlv_iterate(eproto_tlv* cursor, eproto_tlv_visitor visitor, void* context);

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

int16_t eproto_cipher_init(eproto_cipher* context, uint8_t* buffer, uint16_t size, bool fill);
int16_t eproto_cipher_crypt(eproto_cipher* context, const uint8_t* key, std::size_t key_length);
int16_t eproto_cipher_decrypt(eproto_cipher* context, const uint8_t* key, std::size_t key_length);

// Builds an enciphered field around `payload` (what a sender does; the
// configurator only deciphers). `out` must hold payload_length + 8 bytes.
int16_t eproto_cipher_seal(uint8_t* out, const uint8_t* payload, uint16_t payload_length,
                           const uint8_t* key, std::size_t key_length);

} // namespace velkor
