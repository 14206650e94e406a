// Settings values in a readable form and back: numbers, names from the item's
// table, KEY=VALUE pairs for the records and flags, BLOCK:NAME lists for the
// lockers, and hex:BYTES for any item. Texts are UTF-8 on this side and
// Windows-1251 bytes on the controller's.
#pragma once

#include "device/SettingsItems.h"

#include <optional>
#include <string>

namespace velkor::cli {

// The item by number or name; nullptr for neither.
const device::SettingsItemInfo* ItemByNumberOrName(const std::string& text);

// The readable form of a value.
std::string FormatValue(const device::SettingsItemInfo& item, const std::string& value);

// The bytes to write for `text`, starting from the controller's `current`
// value where the text changes only some fields; nothing, with `error`
// saying why, for a value of the wrong length or out of range.
std::optional<std::string> ParseValue(const device::SettingsItemInfo& item, const std::string& text,
                                      const std::string& current, std::string* error);

// Whether the item needs its current value to build a new one from `text`.
bool NeedsCurrentValue(const device::SettingsItemInfo& item, const std::string& text);

} // namespace velkor::cli
