// The Win32 windows of the configuration dialogs: each shows its dialog model
// modally, bound control by control, and returns the modal result. One
// overload per entry of dialogs::AnyDialog: the runner picks it by the type.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <windows.h>

namespace velkor {

TModalResult ShowDialog(dialogs::TfrmNetConfig& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmSectorKeys& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmLockersInput& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmUSARTCfg& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmOptoFlagsInput& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmDebugFlagsInput& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmAuthFlagsInput& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmIntInput& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmStrInput& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmTextInput& form, HWND owner);
TModalResult ShowDialog(dialogs::TfrmNewCardNum& form, HWND owner);

} // namespace velkor
