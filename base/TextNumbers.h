// Text and number helpers every program shares: trimming and whole-text
// number parsing on std::from_chars (no exceptions, no locale, no spaces).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace base {

// The text without the bytes up to and including the space at either end
// (blanks, tabs, CR, LF and the other control bytes).
std::string_view TrimBlanks(std::string_view text);

enum class Radix {
    Decimal,      // "255"
    DecimalOrHex, // "255" or "0xFF" / "0Xff"
};

// An unsigned number that is the whole text, no sign, no more than `max`.
std::optional<uint64_t> ParseUnsigned(std::string_view text, uint64_t max,
                                      Radix radix = Radix::Decimal);

// A decimal integer with an optional '+' or '-' that is the whole text,
// from `min` to `max`.
std::optional<int64_t> ParseSigned(std::string_view text, int64_t min, int64_t max);

// A decimal number with an optional fraction and exponent that is the whole
// text (what from_chars takes; no leading '+'), finite.
std::optional<double> ParseReal(std::string_view text);

} // namespace base
