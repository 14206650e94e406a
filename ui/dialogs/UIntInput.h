// The integer dialog with bounds, and the two settings values edited with it:
// the wait time-out (16-bit LE, 300..65535) and the relay open time (32-bit
// LE, 50..99999).
#pragma once

#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <cstdint>
#include <limits>

namespace velkor::dialogs {

class TfrmIntInput : public DialogForm {
public:
    TfrmIntInput();

    TEdit edNum;
    TButton Button1; // "Ok" (default, modal result 1)
    uint32_t lowBound = 0;
    uint32_t highBound = std::numeric_limits<uint32_t>::max();

    // The edit's trimmed text as an integer (0 when it is not one), taken as
    // unsigned 32-bit and clamped to the bounds: a negative text thus gives
    // the upper bound.
    uint32_t Value() const;
};

} // namespace velkor::dialogs
