#include "ui/dialogs/ModalDialog.h"

namespace velkor::dialogs {

TButton MakeOkButton(const char* name) {
    TButton button(name, "Ok");
    button.SetModalResult(mrOk);
    button.SetDefault(true);
    return button;
}

TButton MakeCancelButton() {
    TButton button("btnCancel", "Cancel");
    button.SetModalResult(mrCancel);
    button.SetCancel(true);
    return button;
}

} // namespace velkor::dialogs
