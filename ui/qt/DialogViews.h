// The Qt windows of the configuration dialogs: each shows its dialog model
// modally, bound control by control, and returns the modal result.
#pragma once

#include "ui/dialogs/ModalDialog.h"

class QWidget;

namespace velkor {

dialogs::ModalResult ShowNetConfig(dialogs::TfrmNetConfig& form, QWidget* parent);
dialogs::ModalResult ShowSectorKeys(dialogs::TfrmSectorKeys& form, QWidget* parent);
dialogs::ModalResult ShowLockersInput(dialogs::TfrmLockersInput& form, QWidget* parent);
dialogs::ModalResult ShowUSARTCfg(dialogs::TfrmUSARTCfg& form, QWidget* parent);
dialogs::ModalResult ShowOptoFlags(dialogs::TfrmOptoFlagsInput& form, QWidget* parent);
dialogs::ModalResult ShowDebugFlags(dialogs::TfrmDebugFlagsInput& form, QWidget* parent);
dialogs::ModalResult ShowAuthFlags(dialogs::TfrmAuthFlagsInput& form, QWidget* parent);
dialogs::ModalResult ShowIntInput(dialogs::TfrmIntInput& form, QWidget* parent);
dialogs::ModalResult ShowStrInput(dialogs::TfrmStrInput& form, QWidget* parent);
dialogs::ModalResult ShowTextInput(dialogs::TfrmTextInput& form, QWidget* parent);
dialogs::ModalResult ShowNewCardNum(dialogs::TfrmNewCardNum& form, QWidget* parent);

} // namespace velkor
