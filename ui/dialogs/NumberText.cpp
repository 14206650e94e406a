#include "ui/dialogs/NumberText.h"

#include "base/TextNumbers.h"

namespace velkor::dialogs {

std::string_view TrimBlanks(std::string_view text) {
    return base::TrimBlanks(text);
}

std::optional<int32_t> ParseInt32(std::string_view text) {
    const auto value = base::ParseSigned(text, INT32_MIN, INT32_MAX);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*value);
}

int32_t FieldToInt(std::string_view text) {
    return ParseInt32(TrimBlanks(text)).value_or(0);
}

} // namespace velkor::dialogs
