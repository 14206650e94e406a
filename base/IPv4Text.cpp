#include "base/IPv4Text.h"

#include "base/TextNumbers.h"

namespace base {

std::optional<uint32_t> ParseIPv4HostOrder(std::string_view text) {
    uint32_t address = 0;
    for (int octet = 0; octet < 4; ++octet) {
        const std::size_t dot = octet < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view digits = text.substr(0, dot);
        const auto value = digits.size() <= 3 ? ParseUnsigned(digits, 255) : std::nullopt;
        if (!value) {
            return std::nullopt;
        }
        address = (address << 8) | static_cast<uint32_t>(*value);
        text.remove_prefix(octet < 3 ? dot + 1 : dot);
    }
    return address;
}

std::string IPv4TextFromHostOrder(uint32_t address) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((address >> shift) & 0xFF);
        if (shift > 0) {
            text += '.';
        }
    }
    return text;
}

} // namespace base
