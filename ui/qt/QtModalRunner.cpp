#include "ui/qt/QtModalRunner.h"

#include "ui/qt/DialogViews.h"

namespace velkor {

QtModalRunner::QtModalRunner(std::function<QWidget*()> owner) : owner_(std::move(owner)) {
}

dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmNetConfig& dialog) {
    return ShowNetConfig(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmSectorKeys& dialog) {
    return ShowSectorKeys(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmLockersInput& dialog) {
    return ShowLockersInput(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmUSARTCfg& dialog) {
    return ShowUSARTCfg(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmOptoFlagsInput& dialog) {
    return ShowOptoFlags(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmDebugFlagsInput& dialog) {
    return ShowDebugFlags(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmAuthFlagsInput& dialog) {
    return ShowAuthFlags(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmIntInput& dialog) {
    return ShowIntInput(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmStrInput& dialog) {
    return ShowStrInput(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmTextInput& dialog) {
    return ShowTextInput(dialog, owner_());
}
dialogs::ModalResult QtModalRunner::Run(dialogs::TfrmNewCardNum& dialog) {
    return ShowNewCardNum(dialog, owner_());
}

} // namespace velkor
