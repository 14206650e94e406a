#include "ui/dialogs/FlagEdit.h"

namespace velkor::dialogs {

std::string EditFirstByteIfChanged(ByteEdit edit, IModalRunner& runner, const std::string& value,
                                   const std::string& caption) {
    if (value.empty()) {
        return {};
    }
    const auto before = static_cast<uint8_t>(value[0]);
    const uint8_t after = edit(runner, before, caption);
    return after == before ? std::string() : std::string(1, static_cast<char>(after));
}

} // namespace velkor::dialogs
