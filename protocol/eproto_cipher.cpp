// Salted RC4 packet cipher: salt (3 plain bytes), filler (3), payload, two
// CRC-8 check bytes; the keystream covers everything after the salt.
#include "protocol/RC4.h"
#include "protocol/eproto.h"

#include <chrono>
#include <cstring>
#include <mutex>
#include <random>

namespace velkor {

namespace {

constexpr uint16_t kSaltSize = 3;

// Uniform byte source for salts and fillers, seeded once from the clock.
uint8_t RandomByte() {
    static std::mutex mutex;
    static std::mt19937 generator(static_cast<std::mt19937::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    static std::uniform_int_distribution<int> byte(0, 255);
    std::lock_guard lock(mutex);
    return static_cast<uint8_t>(byte(generator));
}

} // namespace

int16_t eproto_cipher_init(eproto_cipher* context, uint8_t* buffer, uint16_t size, bool fill) {
    if (size < EPROTO_CIPHER_OVERHEAD) {
        return EPROTO_CIPHER_TOO_SHORT;
    }
    context->buffer = buffer;
    context->size = size;
    context->position = EPROTO_CIPHER_PAYLOAD_OFFSET;
    if (fill) {
        for (uint16_t n = 0; n < EPROTO_CIPHER_PAYLOAD_OFFSET; ++n) {
            buffer[n] = RandomByte();
        }
    }
    return EPROTO_CIPHER_OK;
}

int16_t eproto_cipher_crypt(eproto_cipher* context, const uint8_t* key, std::size_t key_length) {
    if (context->position <= kSaltSize || key_length == 0) {
        return EPROTO_CIPHER_TOO_SHORT;
    }
    rc4_state state;
    rc4_init(&state);
    rc4_schedule(context->buffer, kSaltSize, &state);
    rc4_schedule(key, key_length, &state);
    rc4_schedule(context->buffer, kSaltSize, &state);
    uint8_t* field = context->buffer + kSaltSize;
    rc4_crypt(field, field, context->position - kSaltSize, &state);
    return EPROTO_CIPHER_OK;
}

int16_t eproto_cipher_decrypt(eproto_cipher* context, const uint8_t* key, std::size_t key_length) {
    if (context->position < EPROTO_CIPHER_OVERHEAD) {
        return EPROTO_CIPHER_TOO_SHORT;
    }
    if (eproto_cipher_crypt(context, key, key_length) != EPROTO_CIPHER_OK) {
        return EPROTO_CIPHER_TOO_SHORT;
    }
    context->position = static_cast<uint16_t>(context->position - 2);
    const uint8_t* bytes = context->buffer;
    if (bytes[context->position] != eproto_crc8(bytes, EPROTO_CIPHER_PAYLOAD_OFFSET, 0)) {
        return EPROTO_CIPHER_BAD_SALT_CHECK;
    }
    if (bytes[context->position + 1] !=
        eproto_crc8(bytes + kSaltSize, context->position - kSaltSize, 0)) {
        return EPROTO_CIPHER_BAD_FIELD_CHECK;
    }
    return EPROTO_CIPHER_OK;
}

int16_t eproto_cipher_seal(uint8_t* out, const uint8_t* payload, uint16_t payload_length,
                           const uint8_t* key, std::size_t key_length) {
    const uint16_t size = static_cast<uint16_t>(payload_length + EPROTO_CIPHER_OVERHEAD);
    eproto_cipher context;
    if (const int16_t result = eproto_cipher_init(&context, out, size, true);
        result != EPROTO_CIPHER_OK) {
        return result;
    }
    if (payload_length > 0) {
        std::memcpy(out + EPROTO_CIPHER_PAYLOAD_OFFSET, payload, payload_length);
    }
    const uint16_t checks = static_cast<uint16_t>(size - 2);
    out[checks] = eproto_crc8(out, EPROTO_CIPHER_PAYLOAD_OFFSET, 0);
    out[checks + 1] = eproto_crc8(out + kSaltSize, checks - kSaltSize, 0);
    context.position = size;
    return eproto_cipher_crypt(&context, key, key_length);
}

} // namespace velkor
