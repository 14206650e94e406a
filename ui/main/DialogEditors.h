// The editors of the main window as the configuration dialogs provide them:
// each call forwards to the dialog's edit operation through the modal runner.
#pragma once

#include "ui/dialogs/EditOperations.h"
#include "ui/main/ConfigEditors.h"

namespace velkor {

class DialogEditors final : public IConfigEditors {
public:
    // `textInput` is the application-wide text dialog; it outlives this object.
    DialogEditors(dialogs::IModalRunner& runner, dialogs::TfrmTextInput& textInput)
        : runner_(runner), textInput_(textInput) {}

    std::string EditNetConfig(const std::string& value, const std::string& caption) override;
    std::string EditSectorKeys(const std::string& value, const std::string& caption) override;
    std::string EditLockersList(const std::string& value, const std::string& caption) override;
    std::string EditUSARTConfig(const std::string& value, const std::string& caption) override;
    std::string EditOptoFlags(const std::string& value, const std::string& caption) override;
    std::string EditDebugFlags(const std::string& value, const std::string& caption) override;
    std::string EditAuthFlags(const std::string& value, const std::string& caption) override;
    std::string EditWaitTimeout(const std::string& value, const std::string& caption) override;
    std::string EditRelayOpenTime(const std::string& value, const std::string& caption) override;
    std::string InputString(const std::string& initial, const std::string& caption) override;
    std::optional<DisplayText> InputDisplayText() override;
    std::optional<int32_t> InputCardNumber() override;

private:
    dialogs::IModalRunner& runner_;
    dialogs::TfrmTextInput& textInput_;
};

} // namespace velkor
