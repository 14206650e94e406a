// The seam through which a dialog is shown modally. The Qt front end shows the
// real window bound to the dialog's model, lets the user edit it and returns
// the modal result; tests script the user's edits on the model instead.
#pragma once

#include "ui/controls/Controls.h"

#include <string>
#include <utility>
#include <variant>

namespace velkor::dialogs {

class TfrmNetConfig;
class TfrmSectorKeys;
class TfrmLockersInput;
class TfrmUSARTCfg;
class TfrmOptoFlagsInput;
class TfrmDebugFlagsInput;
class TfrmAuthFlagsInput;
class TfrmIntInput;
class TfrmStrInput;
class TfrmTextInput;
class TfrmNewCardNum;

// What every dialog form has: its window caption.
class DialogForm {
public:
    explicit DialogForm(std::string designedCaption) : caption_(std::move(designedCaption)) {}
    virtual ~DialogForm() = default;
    DialogForm(const DialogForm&) = delete;
    DialogForm& operator=(const DialogForm&) = delete;

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }

private:
    std::string caption_;
};

// "Ok": Enter clicks it, closes with mrOk.
TButton MakeOkButton(const char* name = "btnOk");
TButton MakeCancelButton(); // "Cancel": Escape clicks it, closes with mrCancel

// Every dialog the program shows, as a pointer to its model. This list is the
// one place a dialog is registered with the seam: a front end shows each entry
// through its own overload `ShowDialog(Form&, Owner)`, and a missing overload
// is a compile error in that front end's runner.
using AnyDialog = std::variant<TfrmNetConfig*, TfrmSectorKeys*, TfrmLockersInput*, TfrmUSARTCfg*,
                               TfrmOptoFlagsInput*, TfrmDebugFlagsInput*, TfrmAuthFlagsInput*,
                               TfrmIntInput*, TfrmStrInput*, TfrmTextInput*, TfrmNewCardNum*>;

// "Run this dialog, return its modal result." A result other than mrOk counts
// as cancelled (closing by the close box gives mrCancel).
class IModalRunner {
public:
    virtual ~IModalRunner() = default;

    // Only the dialogs listed in AnyDialog compile here, each as its own type.
    template <typename Form> TModalResult Run(Form& dialog) {
        return Show(AnyDialog(std::in_place_type<Form*>, &dialog));
    }

private:
    // Shows the dialog the variant holds; a runner dispatches with std::visit.
    virtual TModalResult Show(AnyDialog dialog) = 0;
};

} // namespace velkor::dialogs
