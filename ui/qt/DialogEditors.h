// The main window's editors, forwarded to the edit operations of the dialogs
// through one modal runner. It owns the application-wide display-text dialog,
// so its text and delay are kept from one use to the next.
#pragma once

#include "ui/dialogs/ModalDialog.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/main/ConfigEditors.h"

class DialogEditors final : public IConfigEditors {
public:
    explicit DialogEditors(dialogs::IModalRunner& runner);

    std::string EditNetConfig(const std::string& value, const std::string& caption) override;
    std::string EditSectorKeys(const std::string& value, const std::string& caption) override;
    // The log line and the "LLMC:" colour are the main window's part of this edit.
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

    dialogs::TfrmTextInput& TextInputForm() { return textInput_; }

private:
    dialogs::IModalRunner& runner_;
    dialogs::TfrmTextInput textInput_;
};
