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
#include <variant>

namespace velkor::dialogs::testing {

class ScriptedRunner : public IModalRunner {
public:
    // Queues a step for the next run of a `Form`.
    template <typename Form> ScriptedRunner& Then(std::function<TModalResult(Form&)> step) {
        steps_.push_back([step](AnyDialog dialog) {
            Form* const* form = std::get_if<Form*>(&dialog);
            if (form == nullptr) {
                ADD_FAILURE() << "unexpected dialog " << FormOf(dialog).Caption();
                return mrCancel;
            }
            return step(**form);
        });
        return *this;
    }
    ScriptedRunner& Ok() { return Close(mrOk); }
    ScriptedRunner& Cancel() { return Close(mrCancel); }

    int runs = 0;
    std::string lastCaption;

private:
    static DialogForm& FormOf(AnyDialog dialog) {
        return std::visit([](auto* form) -> DialogForm& { return *form; }, dialog);
    }

    ScriptedRunner& Close(TModalResult result) {
        steps_.push_back([result](AnyDialog) { return result; });
        return *this;
    }

    TModalResult Show(AnyDialog dialog) override {
        ++runs;
        lastCaption = FormOf(dialog).Caption();
        if (steps_.empty()) {
            ADD_FAILURE() << "dialog shown more often than scripted";
            return mrCancel;
        }
        auto step = std::move(steps_.front());
        steps_.pop_front();
        return step(dialog);
    }

    std::deque<std::function<TModalResult(AnyDialog)>> steps_;
};

// Bytes from a hex text with optional blanks, for readable expectations.
std::string Bytes(std::string hex);

} // namespace velkor::dialogs::testing
