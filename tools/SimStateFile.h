// The fleet's state file: the settings that differ from the factory values,
// one line per controller and item: "<address> <item> <value as hex>".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct SavedSetting {
    std::string address;
    uint8_t item = 0;
    std::string value;
};

// A missing file is an empty state. A malformed line fails the load and
// names its number in `error`.
bool LoadStateFile(const std::string& path, std::vector<SavedSetting>* settings,
                   std::string* error);
// Writes a temporary file beside `path`, flushes it to disk and renames it
// over `path`, so a reader sees either the old or the new state, never a mix.
bool SaveStateFile(const std::string& path, const std::vector<SavedSetting>& settings,
                   std::string* error);

} // namespace sim
