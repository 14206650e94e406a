#include "ui/dialogs/uOptoFlagsInput.h"

#include "device/SettingsRecords.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"

namespace velkor::dialogs {

TfrmOptoFlagsInput::TfrmOptoFlagsInput() : DialogForm("Opto Usage Options") {
    for (int k = 0; k < kInputs; ++k) {
        const std::string input = std::to_string(k + 1);
        cbUseOpto[k] = TCheckBox("cbUseOpto" + input);
        cbUseOpto[k].SetCaption("Opto " + input);
        cbOptoEdge[k] = TCheckBox("cbOpto" + input + "Edge");
        cbOptoEdge[k].SetCaption("Rising Edge");
    }
    Button1 = MakeOkButton("Button1");
}

void TfrmOptoFlagsInput::SetData(uint8_t flags) {
    for (int k = 0; k < kInputs; ++k) {
        cbOptoEdge[k].SetChecked((flags >> k & 1) != 0);
        cbUseOpto[k].SetChecked((flags >> (device::kOptoUseShift + k) & 1) != 0);
    }
}

uint8_t TfrmOptoFlagsInput::GetData() const {
    unsigned flags = 0;
    for (int k = 0; k < kInputs; ++k) {
        flags |= (cbOptoEdge[k].Checked() ? 1u : 0u) << k;
        flags |= (cbUseOpto[k].Checked() ? 1u : 0u) << (device::kOptoUseShift + k);
    }
    return static_cast<uint8_t>(flags);
}

uint8_t EditOptoFlags(IModalRunner& runner, uint8_t value, const std::string& caption) {
    TfrmOptoFlagsInput form;
    form.SetCaption(caption);
    form.SetData(value);
    return runner.Run(form) == mrOk ? form.GetData() : value;
}

std::string EditOptoFlags(IModalRunner& runner, const std::string& value,
                          const std::string& caption) {
    return EditFirstByteIfChanged(&EditOptoFlags, runner, value, caption);
}

} // namespace velkor::dialogs
