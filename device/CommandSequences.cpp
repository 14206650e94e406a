#include "device/CommandSequences.h"

#include "device/DeviceCommands.h"
#include "protocol/ControllerContract.h"

namespace velkor::device {

namespace {

constexpr uint16_t kBeepHz = 4000;
constexpr uint16_t kBeepMs = 150;
constexpr uint16_t kPreviewHz = 4000;
constexpr uint16_t kPreviewToneMs = 150;
constexpr uint16_t kPreviewGapMs = 50;
constexpr uint16_t kPreviewPauseMs = 1000;

std::string OneByte(uint8_t value) {
    return std::string(1, static_cast<char>(value));
}

} // namespace

void ReadSetting(IReaderLink& link, uint8_t item) {
    link.SendCommandData(contract::kSettingsRead, OneByte(item), 0, 0);
}

void WriteSetting(IReaderLink& link, uint8_t item, const std::string& value, uint8_t flags) {
    link.SendCommandData(contract::kSettingsWrite, OneByte(item) + value, 0, flags);
}

void WriteSettingAndCommit(IReaderLink& link, uint8_t item, const std::string& value) {
    WriteSetting(link, item, value);
    link.SendCommand(contract::kCommit, 0, 0);
}

void SendSettings(IReaderLink& link, uint8_t item, uint8_t flags, const std::string& value) {
    WriteSetting(link, item, value, flags);
    for (const uint8_t cmd : {contract::kPostWrite34, contract::kPostWrite36, contract::kCommit}) {
        link.SendCommand(cmd, 0, flags);
    }
}

void ChooseByteValue(IReaderLink& link, uint8_t item, uint8_t value) {
    WriteSettingAndCommit(link, item, OneByte(value));
    ReadSetting(link, item);
}

void WriteSettingsItem(IReaderLink& link, const SettingsItemInfo& item, const std::string& value) {
    switch (item.Sequence) {
    case WriteSequence::WriteBack:
        SendSettings(link, item.Item, 0, value);
        break;
    case WriteSequence::ByteMenu:
        WriteSettingAndCommit(link, item.Item, value);
        ReadSetting(link, item.Item);
        break;
    case WriteSequence::Commit:
        WriteSettingAndCommit(link, item.Item, value);
        break;
    }
}

void ShowDeviceText(IReaderLink& link, const std::string& text, uint16_t holdMs, int pattern,
                    bool holdFlag, uint8_t volume, uint8_t flags, uint8_t code) {
    DisplayItems items;
    items.Text(text);
    items.SoundPattern(pattern, volume);
    items.Hold(holdMs, false, holdFlag);
    link.SendCommandData(contract::kDisplay, items.Bytes(), code, flags);
}

void PlayMelody(IReaderLink& link, uint8_t volume, uint16_t holdMs, uint8_t flags, uint8_t code) {
    DisplayItems items;
    items.Melody(volume);
    if (holdMs > 0) {
        items.Hold(holdMs, false, false);
    }
    link.SendCommandData(contract::kDisplay, items.Bytes(), code, flags);
}

void Beep(IReaderLink& link, uint8_t volume) {
    DisplayItems items;
    items.Tone(0, kBeepHz, kBeepMs, volume, 0);
    link.SendCommandData(contract::kDisplay, items.Bytes(), 0, 0);
}

void ShowTextWithMelody(IReaderLink& link, const std::string& text, uint16_t holdMs,
                        uint8_t volume) {
    ShowDeviceText(link, text, holdMs, 0, false, volume, 0, 0);
    PlayMelody(link, volume, holdMs, 0, 0);
}

bool PulseRelay(IReaderLink& link, unsigned relay, unsigned durationMs, uint8_t flags) {
    const auto code = RelayCode(relay, durationMs);
    if (!code) {
        return false;
    }
    link.SendCommand(contract::kRelayPulse, *code, flags);
    return true;
}

void SendReset(IReaderLink& link, uint8_t resetByte) {
    link.SendCommandData(contract::kReset, OneByte(resetByte), 0, 0);
}

void SendCardMessage(IReaderLink& link, uint32_t value, uint8_t mode, uint8_t flags, uint8_t code,
                     const std::string& identifier, const std::string& text) {
    link.SendCommandData(contract::kCardMessage, CardMessageRecord(value, mode, identifier, text),
                         code, flags);
}

void WriteNumber(IReaderLink& link, uint8_t block, int64_t number) {
    link.SendCommandData(contract::kWriteNumber, WriteNumberRecord(block, number), 0, 0);
}

void SetLedBrightness(IReaderLink& link, uint8_t level, uint8_t volume) {
    WriteSettingAndCommit(link, contract::kItemLedBrightness, OneByte(level & 7));
    DisplayItems preview;
    preview.Led(true);
    preview.Tone(0, kPreviewHz, kPreviewToneMs, volume, kPreviewGapMs);
    preview.Pause(kPreviewPauseMs);
    preview.Led(false);
    preview.Hold(0, false, false);
    link.SendCommandData(contract::kDisplay, preview.Bytes(), 0, 0);
}

void SetGlobalSoundVolume(IReaderLink& link, uint8_t volume) {
    WriteSettingAndCommit(link, contract::kItemSoundVolume, OneByte(volume / 2));
}

} // namespace velkor::device
