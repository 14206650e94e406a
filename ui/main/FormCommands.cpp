// Device commands: the display, melody, relay and card-message builders and
// the buttons, lamps and reset menu that send them.
#include "ui/main/URfidForm.h"

#include "protocol/ControllerContract.h"
#include "ui/main/DeviceCommands.h"

namespace {

constexpr uint16_t kBeepHz = 4000;
constexpr uint16_t kBeepMs = 150;
constexpr unsigned kRelayButtonMs = 200;
constexpr unsigned kApOffMs = 3150;
constexpr unsigned kApRelay = 3;

std::string OneByte(uint8_t value) {
    return std::string(1, static_cast<char>(value));
}

} // namespace

uint8_t TRFIDMainForm::Volume() const {
    return static_cast<uint8_t>(trbVolume.Position());
}

void TRFIDMainForm::ShowDeviceText(const std::string& text, uint16_t holdMs, int pattern,
                                   bool holdFlag, uint8_t flags, uint8_t code) {
    TDisplayItems items;
    items.Text(text);
    items.SoundPattern(pattern, Volume());
    items.Hold(holdMs, false, holdFlag);
    reader_->SendCommandData(contract::kDisplay, items.Bytes(), code, flags);
}

void TRFIDMainForm::PlayMelody(uint8_t volume, uint16_t holdMs, uint8_t flags, uint8_t code) {
    TDisplayItems items;
    items.Melody(volume);
    if (holdMs > 0) {
        items.Hold(holdMs, false, false);
    }
    reader_->SendCommandData(contract::kDisplay, items.Bytes(), code, flags);
}

bool TRFIDMainForm::PulseRelay(unsigned relay, unsigned durationMs, uint8_t flags) {
    const auto code = RelayCode(relay, durationMs);
    if (!code) {
        return false;
    }
    reader_->SendCommand(contract::kRelayPulse, *code, flags);
    return true;
}

bool TRFIDMainForm::SendCardMessage(uint32_t value, uint8_t mode, uint8_t flags, uint8_t code,
                                    const std::string& identifier, const std::string& text) {
    reader_->SendCommandData(contract::kCardMessage,
                             CardMessageRecord(value, mode, identifier, text), code, flags);
    return true;
}

void TRFIDMainForm::btnBeepClick() {
    TDisplayItems items;
    items.Tone(0, kBeepHz, kBeepMs, Volume(), 0);
    reader_->SendCommandData(contract::kDisplay, items.Bytes(), 0, 0);
}

void TRFIDMainForm::btnQuackClick() {
    reader_->SendCommand(contract::kQuack, 0, 0);
}

void TRFIDMainForm::btnTextClick() {
    const auto input = editors_.InputDisplayText();
    if (!input) {
        return;
    }
    const auto holdMs = static_cast<uint16_t>(input->holdMs);
    ShowDeviceText(input->text, holdMs, 0, false, 0, 0);
    PlayMelody(Volume(), holdMs, 0, 0);
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
        reader_->SendCommandData(contract::kWriteNumber,
                                 WriteNumberRecord(static_cast<uint8_t>(button.Tag()), *number), 0,
                                 0);
    }
}

void TRFIDMainForm::shInputMouseUp(int lamp) {
    static constexpr uint8_t kLampResets[] = {kResetRfid, kResetOled, kResetRfidOled};
    if (lamp >= 1 && lamp <= 3) {
        SendReset(kLampResets[lamp - 1]);
    }
}

void TRFIDMainForm::SendReset(uint8_t resetByte) {
    reader_->SendCommandData(contract::kReset, OneByte(resetByte), 0, 0);
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
