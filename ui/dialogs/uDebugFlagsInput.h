// The debug flags dialog: bit 0 shows the input states on the display, bit 6
// selects the SSD1309 display driver, bit 7 hides the splash glyph. Bits 1-5
// have no control and are written as 0.
#pragma once

#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <cstdint>

namespace velkor::dialogs {

class TfrmDebugFlagsInput : public DialogForm {
public:
    TfrmDebugFlagsInput();

    TCheckBox cbDisplayOptoStatus; // bit 0
    TCheckBox cbSSD1309;           // bit 6
    TCheckBox cbNoSplash;          // bit 7
    TButton Button1;               // "Ok" (default, modal result 1)

    void SetData(uint8_t flags);
    uint8_t GetData() const;
};

} // namespace velkor::dialogs
