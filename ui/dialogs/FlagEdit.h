// The workflow rules shared by the edit operations: a whole record, or only
// what the user changed.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <cstdint>
#include <string>

namespace velkor::dialogs {

using ByteEdit = uint8_t (*)(IModalRunner& runner, uint8_t value, const std::string& caption);

// One-byte flag edits: the first byte of the value is edited; only a changed
// byte is returned.
std::string EditFirstByteIfChanged(ByteEdit edit, IModalRunner& runner, const std::string& value,
                                   const std::string& caption);

// Whole-record edits: the edited record on OK, empty otherwise.
template <typename Form>
std::string EditRecord(IModalRunner& runner, const std::string& value, const std::string& caption) {
    Form form;
    form.SetCaption(caption);
    form.SetData(value);
    return runner.Run(form) == mrOk ? form.GetData() : std::string();
}

// Whole-record edits of changes only: an empty value opens nothing; the edited record is
// returned only when it differs from the value given.
template <typename Form>
std::string EditRecordIfChanged(IModalRunner& runner, const std::string& value,
                                const std::string& caption) {
    if (value.empty()) {
        return {};
    }
    Form form;
    form.SetCaption(caption);
    form.SetData(value);
    const std::string result = runner.Run(form) == mrOk ? form.GetData() : value;
    return result == value ? std::string() : result;
}

} // namespace velkor::dialogs
