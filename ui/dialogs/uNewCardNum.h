// The card-number dialog of the "Write" commands.
#pragma once

#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <cstdint>

namespace velkor::dialogs {

class TfrmNewCardNum : public DialogForm {
public:
    TfrmNewCardNum();

    TLabel Label1; // "Введите новый номер:" (enter the new number)
    TEdit edCardNum;
    TButton btnOK;

    // The typed number, 0 when the text is not an integer.
    int32_t CardNumber() const;
};

} // namespace velkor::dialogs
