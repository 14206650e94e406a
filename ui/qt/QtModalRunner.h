// The modal-dialog seam on Qt: each dialog model is shown in its Qt window,
// centred over the main window.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <functional>

class QWidget;

namespace velkor {

class QtModalRunner final : public dialogs::IModalRunner {
public:
    // `owner` gives the window the dialogs belong to (may return nullptr).
    explicit QtModalRunner(std::function<QWidget*()> owner);

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

private:
    std::function<QWidget*()> owner_;
};

} // namespace velkor
