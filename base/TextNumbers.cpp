#include "base/TextNumbers.h"

#include <charconv>
#include <cmath>

namespace base {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// from_chars over the whole text; anything left over makes it no number.
// For unsigned types from_chars takes digits only: no sign, no "0x", no blank.
template <typename Number> std::optional<Number> WholeText(std::string_view text, auto... format) {
    const char* const last = text.data() + text.size();
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), last, value, format...);
    if (error != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<uint64_t> ParseUnsigned(std::string_view text, uint64_t max, Radix radix) {
    int base = 10;
    if (radix == Radix::DecimalOrHex && text.size() > 2 && text[0] == '0' &&
        (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto value = WholeText<uint64_t>(text, base);
    if (!value || *value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<int64_t> ParseSigned(std::string_view text, int64_t min, int64_t max) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto magnitude = WholeText<uint64_t>(text);
    // The magnitude of INT64_MIN is one more than INT64_MAX.
    constexpr uint64_t kLargestMagnitude = uint64_t{1} << 63;
    if (!magnitude || *magnitude > kLargestMagnitude) {
        return std::nullopt;
    }
    if (!negative && *magnitude == kLargestMagnitude) {
        return std::nullopt;
    }
    const int64_t value =
        negative ? static_cast<int64_t>(0 - *magnitude) : static_cast<int64_t>(*magnitude);
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseReal(std::string_view text) {
    const auto value = WholeText<double>(text);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace base
