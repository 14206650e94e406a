// Device commands: the display, melody, relay and card-message builders and
// the buttons, lamps and reset menu that send them.
#include "ui/main/URfidForm.h"

#include "device/CommandSequences.h"
#include "device/DeviceCommands.h"
#include "protocol/ControllerContract.h"

namespace velkor {

namespace {

constexpr unsigned kRelayButtonMs = 200;
constexpr unsigned kApOffMs = 3150;
constexpr unsigned kApRelay = 3;

} // namespace

uint8_t TRFIDMainForm::Volume() const {
    return static_cast<uint8_t>(trbVolume.Position());
}

void TRFIDMainForm::ShowDeviceText(const std::string& text, uint16_t holdMs, int pattern,
                                   bool holdFlag, uint8_t flags, uint8_t code) {
    device::ShowDeviceText(*reader_, text, holdMs, pattern, holdFlag, Volume(), flags, code);
}

void TRFIDMainForm::PlayMelody(uint8_t volume, uint16_t holdMs, uint8_t flags, uint8_t code) {
    device::PlayMelody(*reader_, volume, holdMs, flags, code);
}

bool TRFIDMainForm::PulseRelay(unsigned relay, unsigned durationMs, uint8_t flags) {
    return device::PulseRelay(*reader_, relay, durationMs, flags);
}

bool TRFIDMainForm::SendCardMessage(uint32_t value, uint8_t mode, uint8_t flags, uint8_t code,
                                    const std::string& identifier, const std::string& text) {
    device::SendCardMessage(*reader_, value, mode, flags, code, identifier, text);
    return true;
}

void TRFIDMainForm::btnBeepClick() {
    device::Beep(*reader_, Volume());
}

void TRFIDMainForm::btnQuackClick() {
    reader_->SendCommand(contract::kQuack, 0, 0);
}

void TRFIDMainForm::btnTextClick() {
    const auto input = editors_.InputDisplayText();
    if (!input) {
        return;
    }
    device::ShowTextWithMelody(*reader_, input->text, static_cast<uint16_t>(input->holdMs),
                               Volume());
}

void TRFIDMainForm::btnRelayClick(const TControl& button) {
    if (&button == &Button1) {
        PulseRelay(kApRelay, 0, 0);
    } else if (&button == &Button2) {
        PulseRelay(kApRelay, kApOffMs, 0);
    } else {
        PulseRelay(static_cast<unsigned>(button.Tag() & 3), kRelayButtonMs, 0);
    }
}

void TRFIDMainForm::btnWriteNumberClick(const TControl& button) {
    if (const auto number = editors_.InputCardNumber()) {
        device::WriteNumber(*reader_, static_cast<uint8_t>(button.Tag()), *number);
    }
}

void TRFIDMainForm::shInputMouseUp(int lamp) {
    static constexpr uint8_t kLampResets[] = {kResetRfid, kResetOled, kResetRfidOled};
    if (lamp >= 1 && lamp <= 3) {
        SendReset(kLampResets[lamp - 1]);
    }
}

void TRFIDMainForm::SendReset(uint8_t resetByte) {
    device::SendReset(*reader_, resetByte);
}

void TRFIDMainForm::btnIntNetRestartClick() {
    reader_->SendCommand(contract::kNetworkRestart, 0, 0);
    DisconnectSequence();
}

void TRFIDMainForm::btnCDevRestartClick() {
    SendReset(kResetMcu);
    DisconnectSequence();
}

void TRFIDMainForm::btnCDevRestartContextPopup() {
    services_.Popup(pmReset, nullptr);
}

void TRFIDMainForm::btnNetRestartClick() {
    SendToSelection([this] { reader_->SendCommand(contract::kNetworkRestart, 0, 0); });
}

void TRFIDMainForm::ResetMenuChoose(uint8_t resetByte) {
    SendToSelection([this, resetByte] { SendReset(resetByte); });
}

void TRFIDMainForm::bntResetAllClick() {
    if (!services_.AskYesNo("This command will reset all devices in range. Do you want to proceed?",
                            "Warning!")) {
        return;
    }
    ClearDeviceTarget();
    SendReset(kResetMcu);
}

void TRFIDMainForm::btnResetBehaviorClick() {
    reader_->SendCommand(contract::kResetBehavior, 0, 0);
}

void TRFIDMainForm::BuildResetMenu() {
    const auto entry = [this](const char* caption, uint8_t resetByte) {
        return TMenuItem{caption, {}, resetByte,
                         true,    {}, [this, resetByte] { ResetMenuChoose(resetByte); }};
    };
    pmReset.Add(entry("OLED IDLE", kResetOledIdle));
    pmReset.Add(TMenuItem{
        "Reset RFID+OLED",
        {},
        0,
        true,
        {entry("RFID", kResetRfid), entry("OLED", kResetOled), entry("Both", kResetRfidOled)},
        {}});
    pmReset.Add(TMenuItem{"Reset NetCard",
                          {},
                          0,
                          true,
                          {entry("Restart", kResetNetRestart), entry("Reset", kResetNetReset),
                           entry("Reboot (PWR)", kResetNetReboot)},
                          {}});
    pmReset.Add(entry("Reset MCU", kResetMcu));
}

} // namespace velkor
