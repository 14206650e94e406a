// The seam through which a dialog is shown modally. The Qt front end shows the
// real window bound to the dialog's model, lets the user edit it and returns
// the modal result; tests script the user's edits on the model instead.
#pragma once

#include "ui/dialogs/Controls.h"

#include <string>
#include <utility>

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
    explicit DialogForm(std::string designedCaption) : caption(std::move(designedCaption)) {}
    virtual ~DialogForm() = default;
    DialogForm(const DialogForm&) = delete;
    DialogForm& operator=(const DialogForm&) = delete;

    std::string caption;
};

// "Run this dialog, return its modal result." One overload per dialog class so
// that the front end knows which view to bind without casting. A result other
// than mrOk counts as cancelled (closing by the close box gives mrCancel).
class IModalRunner {
public:
    virtual ~IModalRunner() = default;

    virtual ModalResult Run(TfrmNetConfig& dialog) = 0;
    virtual ModalResult Run(TfrmSectorKeys& dialog) = 0;
    virtual ModalResult Run(TfrmLockersInput& dialog) = 0;
    virtual ModalResult Run(TfrmUSARTCfg& dialog) = 0;
    virtual ModalResult Run(TfrmOptoFlagsInput& dialog) = 0;
    virtual ModalResult Run(TfrmDebugFlagsInput& dialog) = 0;
    virtual ModalResult Run(TfrmAuthFlagsInput& dialog) = 0;
    virtual ModalResult Run(TfrmIntInput& dialog) = 0;
    virtual ModalResult Run(TfrmStrInput& dialog) = 0;
    virtual ModalResult Run(TfrmTextInput& dialog) = 0;
    virtual ModalResult Run(TfrmNewCardNum& dialog) = 0;
};

} // namespace velkor::dialogs
