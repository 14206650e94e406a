// The Win32 windows of the configuration dialogs: each shows its dialog model
// modally, bound control by control, and returns the modal result. One
// overload per entry of dialogs::AnyDialog: the runner picks it by the type.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <windows.h>

namespace velkor {

dialogs::ModalResult ShowDialog(dialogs::TfrmNetConfig& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmSectorKeys& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmLockersInput& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmUSARTCfg& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmOptoFlagsInput& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmDebugFlagsInput& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmAuthFlagsInput& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmIntInput& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmStrInput& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmTextInput& form, HWND owner);
dialogs::ModalResult ShowDialog(dialogs::TfrmNewCardNum& form, HWND owner);

} // namespace velkor
