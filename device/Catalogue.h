// The window's fixed catalogues: the named values of the three one-byte
// settings (language, no-network mode, lock mode) and the lock kits that the
// "Locks" menu offers. Texts are Windows-1251 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velkor {

struct TByteMenuInfo {
    uint8_t Value;
    const char* ShortName; // shown on the button: "Lang: RUS"
    const char* Caption;   // shown in the menu
};

std::span<const TByteMenuInfo> LanguageTable();
std::span<const TByteMenuInfo> NoNetworkTable();
std::span<const TByteMenuInfo> LockModeTable();

// The table of a one-byte settings item (17, 26, 27); empty for any other item.
std::span<const TByteMenuInfo> ByteMenuTableForItem(uint8_t item);

// The first entry with this value, or nullptr.
const TByteMenuInfo* FindByteMenuInfo(uint8_t value, std::span<const TByteMenuInfo> table);

struct TLockInfo {
    uint8_t Block;
    std::string Name;
};

struct TMenuLockInfo {
    std::string Caption;
    std::vector<TLockInfo> Locks;
};

using TMenuLockInfoArr = std::vector<TMenuLockInfo>;

// Appends the 18 lock kits, in menu order.
void BuildLockKits(TMenuLockInfoArr& kits);

} // namespace velkor
