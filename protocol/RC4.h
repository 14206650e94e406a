// RC4 split into init, key schedule and keystream so that the key schedule can
// run more than once over the same permutation (the packet cipher salts it).
#pragma once

#include <cstddef>
#include <cstdint>

namespace velkor {

struct rc4_state {
    uint8_t s[256];
    uint8_t i;
    uint8_t j;
};
static_assert(sizeof(rc4_state) == 258);

void rc4_init(rc4_state* state);
// `key_length` must not be 0.
void rc4_schedule(const uint8_t* key, std::size_t key_length, rc4_state* state);
void rc4_crypt(const uint8_t* input, uint8_t* output, std::size_t count, rc4_state* state);

} // namespace velkor
