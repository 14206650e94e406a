// Conversions between the dialogs' field texts and numbers, and the
// little-endian byte fields of the settings values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dialogs {

// The text without leading and trailing blanks (any character up to space).
std::string_view TrimBlanks(std::string_view text);

// A decimal signed 32-bit integer with an optional sign, or nothing when the
// text is not one (empty, stray characters, out of range).
std::optional<int32_t> ParseInt32(std::string_view text);

// The field rule: trimmed text as a signed integer, 0 when it is not one.
int32_t FieldToInt(std::string_view text);

// Little-endian unsigned field of `width` bytes at `offset`; the caller makes
// sure the bytes are there.
uint32_t ReadLe(std::string_view bytes, std::size_t offset, uint8_t width);

// Appends the low `width` bytes of `value`, least significant first.
void AppendLe(std::string& bytes, uint32_t value, uint8_t width);

} // namespace dialogs
