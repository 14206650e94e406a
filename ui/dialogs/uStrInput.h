// The one-line string dialog.
#pragma once

#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

namespace velkor::dialogs {

class TfrmStrInput : public DialogForm {
public:
    TfrmStrInput();

    TEdit edStr;
    TButton Button1; // "Ok" (default, modal result 1)
};

} // namespace velkor::dialogs
