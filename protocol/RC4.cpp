#include "protocol/RC4.h"

#include <cassert>
#include <utility>

namespace velkor {

void rc4_init(rc4_state* state) {
    for (int k = 0; k < 256; ++k) {
        state->s[k] = static_cast<uint8_t>(k);
    }
    state->i = 0;
    state->j = 0;
}

void rc4_schedule(const uint8_t* key, std::size_t key_length, rc4_state* state) {
    assert(key_length > 0); // the schedule repeats the key over 256 steps
    uint8_t j = 0;
    for (std::size_t k = 0; k < 256; ++k) {
        j = static_cast<uint8_t>(j + key[k % key_length] + state->s[k]);
        std::swap(state->s[k], state->s[j]);
    }
}

void rc4_crypt(const uint8_t* input, uint8_t* output, std::size_t count, rc4_state* state) {
    uint8_t i = state->i;
    uint8_t j = state->j;
    for (std::size_t n = 0; n < count; ++n) {
        i = static_cast<uint8_t>(i + 1);
        j = static_cast<uint8_t>(j + state->s[i]);
        std::swap(state->s[i], state->s[j]);
        output[n] = input[n] ^ state->s[static_cast<uint8_t>(state->s[i] + state->s[j])];
    }
    state->i = i;
    state->j = j;
}

} // namespace velkor
