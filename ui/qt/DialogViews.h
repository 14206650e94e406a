// The Qt windows of the configuration dialogs: each shows its dialog model
// modally, bound control by control, and returns the modal result. One
// overload per entry of dialogs::AnyDialog: the runner picks it by the type.
#pragma once

#include "ui/dialogs/ModalDialog.h"

class QWidget;

namespace velkor {

dialogs::ModalResult ShowDialog(dialogs::TfrmNetConfig& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmSectorKeys& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmLockersInput& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmUSARTCfg& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmOptoFlagsInput& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmDebugFlagsInput& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmAuthFlagsInput& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmIntInput& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmStrInput& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmTextInput& form, QWidget* parent);
dialogs::ModalResult ShowDialog(dialogs::TfrmNewCardNum& form, QWidget* parent);

} // namespace velkor
