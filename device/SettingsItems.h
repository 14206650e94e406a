// The settings items a controller keeps: number, name, the kind of value, its
// bounds, and the command sequence that writes it, as the window writes it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace velkor::device {

// What follows the settings write (command 9) of an item.
enum class WriteSequence {
    WriteBack, // commands 34, 36 and 19: the write-back after an item's dialog
    ByteMenu,  // command 19, then a read of the item: the byte-value menus
    Commit,    // command 19: the write buttons
};

enum class ValueKind {
    Network,    // 24-byte network record
    SectorKeys, // 98-byte sector keys block
    Lockers,    // lockers list
    Usart,      // 12-byte USART block
    OptoFlags,  // one byte of input flags
    DebugFlags, // one byte of debug flags
    AuthFlags,  // 1 to 4 bytes of authorisation flags
    Number,     // unsigned little-endian number of Width bytes within Min..Max
    Choice,     // one byte from the item's table of named values (Catalogue)
};

struct SettingsItemInfo {
    uint8_t Item;
    const char* Name;    // for scripts: "network", "sector-keys", ...
    const char* Caption; // as the window names it: "Network Config", ...
    ValueKind Kind;
    uint8_t Width; // Number and Choice: bytes of the value
    uint32_t Min;  // Number: bounds
    uint32_t Max;
    WriteSequence Sequence;
    bool Readable; // the window reads it from the controller
    bool Secret;   // holds keys
};

// Every item, in item order.
std::span<const SettingsItemInfo> SettingsItems();
// By number or by name; nullptr for an unknown one.
const SettingsItemInfo* FindSettingsItem(uint8_t item);
const SettingsItemInfo* FindSettingsItem(std::string_view name);

} // namespace velkor::device
