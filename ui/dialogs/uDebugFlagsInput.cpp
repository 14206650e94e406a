#include "ui/dialogs/uDebugFlagsInput.h"

#include "device/SettingsRecords.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"

namespace velkor::dialogs {

namespace {

constexpr uint8_t kDisplayOptoStatus = device::kDebugDisplayOptoStatus;
constexpr uint8_t kSSD1309 = device::kDebugSSD1309;
constexpr uint8_t kNoSplash = device::kDebugNoSplash;

} // namespace

TfrmDebugFlagsInput::TfrmDebugFlagsInput()
    : DialogForm("Debug Flags Options"),
      cbDisplayOptoStatus("cbDisplayOptoStatus", "Opto Status Display"),
      cbSSD1309("cbSSD1309", "SSD1309 Driver"), cbNoSplash("cbNoSplash", "No Splash Glyph") {
    Button1 = MakeOkButton("Button1");
}

void TfrmDebugFlagsInput::SetData(uint8_t flags) {
    cbDisplayOptoStatus.SetChecked((flags & kDisplayOptoStatus) != 0);
    cbSSD1309.SetChecked((flags & kSSD1309) != 0);
    cbNoSplash.SetChecked((flags & kNoSplash) != 0);
}

uint8_t TfrmDebugFlagsInput::GetData() const {
    return static_cast<uint8_t>((cbDisplayOptoStatus.Checked() ? kDisplayOptoStatus : 0) |
                                (cbSSD1309.Checked() ? kSSD1309 : 0) |
                                (cbNoSplash.Checked() ? kNoSplash : 0));
}

uint8_t EditDebugFlags(IModalRunner& runner, uint8_t value, const std::string& caption) {
    TfrmDebugFlagsInput form;
    form.SetCaption(caption);
    form.SetData(value);
    return runner.Run(form) == mrOk ? form.GetData() : value;
}

std::string EditDebugFlags(IModalRunner& runner, const std::string& value,
                           const std::string& caption) {
    return EditFirstByteIfChanged(&EditDebugFlags, runner, value, caption);
}

} // namespace velkor::dialogs
