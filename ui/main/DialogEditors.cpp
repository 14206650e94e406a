#include "ui/main/DialogEditors.h"

namespace velkor {

std::string DialogEditors::EditNetConfig(const std::string& value, const std::string& caption) {
    return dialogs::EditNetConfig(runner_, value, caption);
}

std::string DialogEditors::EditSectorKeys(const std::string& value, const std::string& caption) {
    return dialogs::EditSectorKeys(runner_, value, caption);
}

std::string DialogEditors::EditLockersList(const std::string& value, const std::string& caption) {
    return dialogs::EditLockersList(runner_, value, caption);
}

std::string DialogEditors::EditUSARTConfig(const std::string& value, const std::string& caption) {
    return dialogs::EditUSARTConfig(runner_, value, caption);
}

std::string DialogEditors::EditOptoFlags(const std::string& value, const std::string& caption) {
    return dialogs::EditOptoFlags(runner_, value, caption);
}

std::string DialogEditors::EditDebugFlags(const std::string& value, const std::string& caption) {
    return dialogs::EditDebugFlags(runner_, value, caption);
}

std::string DialogEditors::EditAuthFlags(const std::string& value, const std::string& caption) {
    return dialogs::EditAuthFlags(runner_, value, caption);
}

std::string DialogEditors::EditWaitTimeout(const std::string& value, const std::string& caption) {
    return dialogs::EditWaitTimeout(runner_, value, caption);
}

std::string DialogEditors::EditRelayOpenTime(const std::string& value, const std::string& caption) {
    return dialogs::EditRelayOpenTime(runner_, value, caption);
}

std::string DialogEditors::InputString(const std::string& initial, const std::string& caption) {
    return dialogs::InputString(runner_, initial, caption);
}

std::optional<IConfigEditors::DisplayText> DialogEditors::InputDisplayText() {
    const auto input = dialogs::InputDisplayText(runner_, textInput_);
    if (!input) {
        return std::nullopt;
    }
    return DisplayText{input->text, input->holdMs};
}

std::optional<int32_t> DialogEditors::InputCardNumber() {
    return dialogs::InputCardNumber(runner_);
}

} // namespace velkor
