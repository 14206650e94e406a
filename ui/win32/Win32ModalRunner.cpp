#include "ui/win32/Win32ModalRunner.h"

#include "ui/win32/DialogViews.h"

namespace velkor {

Win32ModalRunner::Win32ModalRunner(HWND owner) : owner_(owner) {
}

dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmNetConfig& dialog) {
    return ShowNetConfig(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmSectorKeys& dialog) {
    return ShowSectorKeys(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmLockersInput& dialog) {
    return ShowLockersInput(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmUSARTCfg& dialog) {
    return ShowUSARTCfg(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmOptoFlagsInput& dialog) {
    return ShowOptoFlags(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmDebugFlagsInput& dialog) {
    return ShowDebugFlags(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmAuthFlagsInput& dialog) {
    return ShowAuthFlags(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmIntInput& dialog) {
    return ShowIntInput(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmStrInput& dialog) {
    return ShowStrInput(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmTextInput& dialog) {
    return ShowTextInput(dialog, owner_);
}
dialogs::ModalResult Win32ModalRunner::Run(dialogs::TfrmNewCardNum& dialog) {
    return ShowNewCardNum(dialog, owner_);
}

} // namespace velkor
