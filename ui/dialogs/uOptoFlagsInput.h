// The optocoupler input flags dialog: bits 0-3 select the rising edge of
// inputs 1-4, bits 4-7 whether inputs 1-4 are used.
#pragma once

#include "device/SettingsRecords.h"
#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <array>
#include <cstdint>

namespace velkor::dialogs {

class TfrmOptoFlagsInput : public DialogForm {
public:
    static constexpr int kInputs = device::kOptoInputs;

    TfrmOptoFlagsInput();

    // Shown one row per input: the use box, then its edge box.
    std::array<TCheckBox, kInputs> cbUseOpto;  // cbUseOpto1..4, bits 4-7
    std::array<TCheckBox, kInputs> cbOptoEdge; // cbOpto1Edge..cbOpto4Edge, bits 0-3
    TButton Button1;                           // "Ok" (default, modal result 1)

    void SetData(uint8_t flags);
    uint8_t GetData() const;
};

} // namespace velkor::dialogs
