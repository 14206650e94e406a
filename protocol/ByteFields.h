// Little-endian unsigned fields in byte strings: the settings values, the
// discovery answer's numbers and the commands the configurator builds all
// read and write their fields through these two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velkor {

// The unsigned field of `width` bytes (1 to 4) at `offset`, least
// significant byte first; the bytes must be there.
uint32_t ReadLe(std::string_view bytes, std::size_t offset, uint8_t width);
// Appends `value` in `width` bytes (0 to 4), least significant first; the
// value must fit its field.
void AppendLe(std::string& bytes, uint32_t value, uint8_t width);

} // namespace velkor
