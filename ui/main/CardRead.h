// What a card read (command 3) says: the card's identifier, the holder's
// cabinet and cell numbers and the access status, as the card panel shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkor {

struct CardRead {
    std::string RawUID;   // the identifier bytes
    std::string UIDLabel; // "A1B2C3D4 (195,45729)"
    std::string CabText = "--";
    std::string CellText = "--";
    bool HasStatus = false;
    uint16_t Status = 0;
    // At least one of the two numbers lies in 0..999: the holder has closed lockers.
    bool HasClosedLockers = false;
};

// Nothing unless the data are longer than 4 bytes and the identifier length
// (first byte) is below the data length.
std::optional<CardRead> DecodeCardRead(std::string_view data);

// A cabinet or cell word as its number: -1 when the top byte is not zero, the
// low 15 bits when bit 15 is set, else 1000 (no number).
int CardNumber(uint32_t word);

// "!" for a negative number, "---" for 1000 or more, else the decimal with
// the letter 64 + bits 16-22 in front when bit 23 is set.
std::string CardNumberText(uint32_t word);

} // namespace velkor
