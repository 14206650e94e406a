// The Win32 windows of the configuration dialogs: each shows its dialog model
// modally, bound control by control, and returns the modal result.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <windows.h>

namespace velkor {

dialogs::ModalResult ShowNetConfig(dialogs::TfrmNetConfig& form, HWND owner);
dialogs::ModalResult ShowSectorKeys(dialogs::TfrmSectorKeys& form, HWND owner);
dialogs::ModalResult ShowLockersInput(dialogs::TfrmLockersInput& form, HWND owner);
dialogs::ModalResult ShowUSARTCfg(dialogs::TfrmUSARTCfg& form, HWND owner);
dialogs::ModalResult ShowOptoFlags(dialogs::TfrmOptoFlagsInput& form, HWND owner);
dialogs::ModalResult ShowDebugFlags(dialogs::TfrmDebugFlagsInput& form, HWND owner);
dialogs::ModalResult ShowAuthFlags(dialogs::TfrmAuthFlagsInput& form, HWND owner);
dialogs::ModalResult ShowIntInput(dialogs::TfrmIntInput& form, HWND owner);
dialogs::ModalResult ShowStrInput(dialogs::TfrmStrInput& form, HWND owner);
dialogs::ModalResult ShowTextInput(dialogs::TfrmTextInput& form, HWND owner);
dialogs::ModalResult ShowNewCardNum(dialogs::TfrmNewCardNum& form, HWND owner);

} // namespace velkor
