// The Qt windows of the configuration dialogs: each shows its dialog model
// modally, bound control by control, and returns the modal result. One
// overload per entry of dialogs::AnyDialog: the runner picks it by the type.
#pragma once

#include "ui/dialogs/ModalDialog.h"

class QWidget;

namespace velkor {

TModalResult ShowDialog(dialogs::TfrmNetConfig& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmSectorKeys& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmLockersInput& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmUSARTCfg& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmOptoFlagsInput& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmDebugFlagsInput& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmAuthFlagsInput& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmIntInput& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmStrInput& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmTextInput& form, QWidget* parent);
TModalResult ShowDialog(dialogs::TfrmNewCardNum& form, QWidget* parent);

} // namespace velkor
