// Strict unsigned number parsing for command lines and control commands:
// the whole text must be the number, no sign, no more than `max`.
#pragma once

#include <exception>
#include <string>

namespace sim {

// base 10, or 0 to accept a 0x-prefixed hexadecimal number too.
inline bool ParseUnsigned(const std::string& text, unsigned long long max, int base,
                          unsigned long long* value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    try {
        std::size_t used = 0;
        *value = std::stoull(text, &used, base);
        return used == text.size() && *value <= max;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace sim
