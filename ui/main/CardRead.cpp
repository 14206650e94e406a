#include "ui/main/CardRead.h"

#include "protocol/eproto.h"

namespace velkor {

namespace {

constexpr int kNoNumber = 1000;

bool IsLockerNumber(int number) {
    return number >= 0 && number < kNoNumber;
}

} // namespace

int CardNumber(uint32_t word) {
    if ((word & 0xFF000000u) != 0) {
        return -1;
    }
    if ((word & 0x8000u) != 0) {
        return static_cast<int>(word & 0x7FFFu);
    }
    return kNoNumber;
}

std::string CardNumberText(uint32_t word) {
    const int number = CardNumber(word);
    if (number < 0) {
        return "!";
    }
    if (number >= kNoNumber) {
        return "---";
    }
    std::string text;
    if ((word & 0x800000u) != 0) {
        text += static_cast<char>(64 + ((word >> 16) & 0x7F));
    }
    return text + std::to_string(number);
}

std::optional<CardRead> DecodeCardRead(std::string_view data) {
    const size_t n = data.size();
    if (n <= 4) {
        return std::nullopt;
    }
    const size_t u = static_cast<unsigned char>(data[0]);
    if (u >= n) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    CardRead card;
    card.RawUID = std::string(data.substr(1, u));
    std::string suffix;
    if (u > 2) {
        suffix = std::to_string(bytes[3]) + "," + std::to_string(bytes[1] + 256 * bytes[2]);
    }
    card.UIDLabel = eproto_bytes_to_hex(card.RawUID) + " (" + suffix + ")";

    const uint8_t* rest = bytes + u + 1;
    const size_t m = n - u - 1;
    if (m < 2) {
        return card;
    }
    uint16_t at = 0;
    card.HasStatus = true;
    card.Status = static_cast<uint16_t>(eproto_get_be(rest, &at, 2));
    const uint32_t cabinet = m > 5 ? eproto_get_be(rest, &at, 4) : 0;
    const uint32_t cell = m > 9 ? eproto_get_be(rest, &at, 4) : 0;
    card.CabText = CardNumberText(cabinet);
    card.CellText = CardNumberText(cell);
    card.HasClosedLockers = IsLockerNumber(CardNumber(cabinet)) || IsLockerNumber(CardNumber(cell));
    return card;
}

} // namespace velkor
