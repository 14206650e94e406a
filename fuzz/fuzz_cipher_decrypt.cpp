// Deciphers arbitrary fields; a field that verifies must seal back to the same
// payload, and nothing may read or write outside the field.
#include "protocol/eproto.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace velkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 300) {
        return 0;
    }
    const std::size_t key_length = 1 + data[0] % 8;
    if (size < 1 + key_length) {
        return 0;
    }
    const uint8_t* key = data + 1;
    std::vector<uint8_t> field(data + 1 + key_length, data + size);

    eproto_cipher context;
    if (eproto_cipher_init(&context, field.data(), static_cast<uint16_t>(field.size()), false) !=
        EPROTO_CIPHER_OK) {
        return 0;
    }
    context.position = static_cast<uint16_t>(field.size());
    if (eproto_cipher_decrypt(&context, key, key_length) != EPROTO_CIPHER_OK) {
        return 0;
    }
    // A good field: enciphering its plain bytes again with the same salt and
    // filler must give back the received field.
    std::vector<uint8_t> again = field;
    eproto_cipher reseal{again.data(), static_cast<uint16_t>(again.size()),
                         static_cast<uint16_t>(again.size())};
    if (eproto_cipher_crypt(&reseal, key, key_length) != EPROTO_CIPHER_OK ||
        std::memcmp(again.data(), data + 1 + key_length, again.size()) != 0) {
        std::abort();
    }
    return 0;
}
