#include "ui/main/DialogEditors.h"

namespace velkor {

std::string TDialogEditors::EditNetConfig(const std::string& value, const std::string& caption) {
    return dialogs::EditNetConfig(runner_, value, caption);
}

std::string TDialogEditors::EditSectorKeys(const std::string& value, const std::string& caption) {
    return dialogs::EditSectorKeys(runner_, value, caption);
}

std::string TDialogEditors::EditLockersList(const std::string& value, const std::string& caption) {
    // The main window logs the result and restores the LLMC colour itself.
    return dialogs::EditLockersList(runner_, value, caption, {});
}

std::string TDialogEditors::EditUSARTConfig(const std::string& value, const std::string& caption) {
    return dialogs::EditUSARTConfig(runner_, value, caption);
}

std::string TDialogEditors::EditOptoFlags(const std::string& value, const std::string& caption) {
    return dialogs::EditOptoFlags(runner_, value, caption);
}

std::string TDialogEditors::EditDebugFlags(const std::string& value, const std::string& caption) {
    return dialogs::EditDebugFlags(runner_, value, caption);
}

std::string TDialogEditors::EditAuthFlags(const std::string& value, const std::string& caption) {
    return dialogs::EditAuthFlags(runner_, value, caption);
}

std::string TDialogEditors::EditWaitTimeout(const std::string& value, const std::string& caption) {
    return dialogs::EditWaitTimeout(runner_, value, caption);
}

std::string TDialogEditors::EditRelayOpenTime(const std::string& value,
                                              const std::string& caption) {
    return dialogs::EditRelayOpenTime(runner_, value, caption);
}

std::string TDialogEditors::InputString(const std::string& initial, const std::string& caption) {
    return dialogs::InputString(runner_, initial, caption);
}

std::optional<IConfigEditors::DisplayText> TDialogEditors::InputDisplayText() {
    const auto input = dialogs::InputDisplayText(runner_, textInput_);
    if (!input) {
        return std::nullopt;
    }
    return DisplayText{input->text, input->holdMs};
}

std::optional<int32_t> TDialogEditors::InputCardNumber() {
    return dialogs::InputCardNumber(runner_);
}

} // namespace velkor
