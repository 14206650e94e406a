// A modal runner that plays the user: each run of a dialog takes the next
// scripted step, which edits the dialog's model and returns the modal result.
#pragma once

#include "ui/dialogs/ModalDialog.h"
#include "ui/dialogs/UIntInput.h"
#include "ui/dialogs/ULockersInput.h"
#include "ui/dialogs/USectorKeys.h"
#include "ui/dialogs/uAuthFlagsInput.h"
#include "ui/dialogs/uDebugFlagsInput.h"
#include "ui/dialogs/uNetConfig.h"
#include "ui/dialogs/uNewCardNum.h"
#include "ui/dialogs/uOptoFlagsInput.h"
#include "ui/dialogs/uStrInput.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/dialogs/uUSARTCfg.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

namespace velkor::dialogs::testing {

class ScriptedRunner : public IModalRunner {
public:
    // Queues a step for the next run of a `Form`.
    template <typename Form> ScriptedRunner& Then(std::function<ModalResult(Form&)> step) {
        steps_.push_back([step](DialogForm& dialog) {
            auto* form = dynamic_cast<Form*>(&dialog);
            if (form == nullptr) {
                ADD_FAILURE() << "unexpected dialog " << dialog.caption;
                return mrCancel;
            }
            return step(*form);
        });
        return *this;
    }
    ScriptedRunner& Ok() { return Close(mrOk); }
    ScriptedRunner& Cancel() { return Close(mrCancel); }

    int runs = 0;
    std::string lastCaption;

    ModalResult Run(TfrmNetConfig& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmSectorKeys& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmLockersInput& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmUSARTCfg& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmOptoFlagsInput& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmDebugFlagsInput& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmAuthFlagsInput& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmIntInput& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmStrInput& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmTextInput& dialog) override { return Next(dialog); }
    ModalResult Run(TfrmNewCardNum& dialog) override { return Next(dialog); }

private:
    ScriptedRunner& Close(ModalResult result) {
        steps_.push_back([result](DialogForm&) { return result; });
        return *this;
    }

    ModalResult Next(DialogForm& dialog) {
        ++runs;
        lastCaption = dialog.caption;
        if (steps_.empty()) {
            ADD_FAILURE() << "dialog shown more often than scripted";
            return mrCancel;
        }
        auto step = std::move(steps_.front());
        steps_.pop_front();
        return step(dialog);
    }

    std::deque<std::function<ModalResult(DialogForm&)>> steps_;
};

// Bytes from a hex text with optional blanks, for readable expectations.
std::string Bytes(std::string hex);

} // namespace velkor::dialogs::testing
