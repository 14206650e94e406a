// A controller's numbered settings items with their factory values.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/SimIdentity.h"

namespace sim {

inline constexpr std::size_t kNetRecordSize = 24;
inline constexpr std::size_t kSectorKeysSize = 98;
inline constexpr std::size_t kLockersListSize = 97;
inline constexpr std::size_t kUsartConfigSize = 12;

class SettingsStore {
public:
    explicit SettingsStore(const ControllerIdentity& identity);

    // The item's value, or nullptr for an item the controller does not have.
    const std::string* Find(uint8_t item) const;
    // Applies a write. Refused (false, nothing changed) for an unknown item
    // or a value whose length the item cannot take.
    bool Write(uint8_t item, const std::string& value);
    // The items whose value differs from the factory value.
    std::vector<std::pair<uint8_t, std::string>> Changed() const;

private:
    std::map<uint8_t, std::string> factory_;
    std::map<uint8_t, std::string> values_;
};

} // namespace sim
