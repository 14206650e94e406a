// Conversions between the dialogs' field texts and numbers, and the
// little-endian byte fields of the settings values.
#pragma once

#include "device/SettingsRecords.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkor::dialogs {

// The text without leading and trailing blanks (any character up to space).
std::string_view TrimBlanks(std::string_view text);

// A decimal signed 32-bit integer with an optional sign, or nothing when the
// text is not one (empty, stray characters, out of range).
std::optional<int32_t> ParseInt32(std::string_view text);

// The field rule: trimmed text as a signed integer, 0 when it is not one.
int32_t FieldToInt(std::string_view text);

// The little-endian byte fields of the settings values.
using device::AppendLe;
using device::ReadLe;

} // namespace velkor::dialogs
