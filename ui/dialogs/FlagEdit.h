// The workflow rule shared by the one-byte flag edits: the first byte of the
// value is edited; only a changed byte is returned.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <cstdint>
#include <string>

namespace dialogs {

using ByteEdit = uint8_t (*)(IModalRunner& runner, uint8_t value, const std::string& caption);

std::string EditFirstByteIfChanged(ByteEdit edit, IModalRunner& runner, const std::string& value,
                                   const std::string& caption);

} // namespace dialogs
