// The modal-dialog seam on Win32: each dialog model is shown in its Win32
// dialog window, owned by (and disabling while it runs) the main window.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <windows.h>

namespace velkor {

class Win32ModalRunner final : public dialogs::IModalRunner {
public:
    // `owner` is the window the dialogs belong to (may be nullptr).
    explicit Win32ModalRunner(HWND owner);

    dialogs::ModalResult Run(dialogs::TfrmNetConfig& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmSectorKeys& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmLockersInput& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmUSARTCfg& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmOptoFlagsInput& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmDebugFlagsInput& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmAuthFlagsInput& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmIntInput& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmStrInput& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmTextInput& dialog) override;
    dialogs::ModalResult Run(dialogs::TfrmNewCardNum& dialog) override;

    // For a runner made before its main window exists.
    void SetOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_;
};

} // namespace velkor
