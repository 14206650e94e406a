// Settings workflows: reads, writes, the byte-value menus, the network record
// of the discovery page and the full default configuration.
#include "ui/main/URfidForm.h"

#include "device/CommandSequences.h"
#include "device/DeviceCommands.h"
#include "device/SettingsRecords.h"
#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"

#include <cstdio>
#include <utility>

namespace velkor {

namespace {

constexpr int kDefaultLockerCountLimit = 5;
constexpr uint8_t kFullDefsSoundVolume = 0x7F;
constexpr size_t kSectorKeyBytes = 96;

std::string Bytes(std::initializer_list<uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

void TRFIDMainForm::ReadSetting(uint8_t item) {
    device::ReadSetting(*reader_, item);
}

void TRFIDMainForm::WriteSetting(uint8_t item, const std::string& value) {
    device::WriteSetting(*reader_, item, value);
}

void TRFIDMainForm::WriteSettingAndCommit(uint8_t item, const std::string& value) {
    device::WriteSettingAndCommit(*reader_, item, value);
}

int TRFIDMainForm::LockerCountLimit() const {
    return static_cast<int>(
        ParseDecimal(TrimBlanks(cbLLMC.Text())).value_or(kDefaultLockerCountLimit));
}

void TRFIDMainForm::ReadButtonClick(const TControl& button) {
    const std::pair<const TControl*, uint8_t> readButtons[] = {
        {&btnNetCfgEdit, contract::kItemNetConfig},
        {&btnEditKeys, contract::kItemSectorKeys},
        {&btnDBWaitTMO, contract::kItemDbWaitTimeout},
        {&btnRelayOpenTime, contract::kItemRelayOpenTime},
        {&btnEditOptoFlagsClose, contract::kItemRelayCloseFlags},
        {&btnEditOptoFlagsOpen, contract::kItemRelayOpenFlags},
        {&btnEditOptoFlagsRHold, contract::kItemRelayHoldFlags},
        {&btnEditAuthFlags, contract::kItemAuthFlags},
        {&btnDebugFlags, contract::kItemDebugFlags},
        {&Button5, contract::kItemUsartFlags},
    };
    for (const auto& [control, item] : readButtons) {
        if (control == &button) {
            ReadSetting(item);
        }
    }
}

void TRFIDMainForm::FingerButtonClick(const TControl& button) {
    struct Write {
        const TControl* control;
        uint8_t item;
        uint8_t value;
    };
    const Write writes[] = {
        {&btnSetUseFinger, contract::kItemFingerUse, 0},
        {&btnSetNotUseFinger, contract::kItemFingerUse, 1},
        {&btnSetFingerTest, contract::kItemFingerTest, 0},
        {&btnSetNoFingerTest, contract::kItemFingerTest, 1},
        {&btnFingerShot, contract::kItemGameDev, 1},
        {&btnFingerRaw, contract::kItemGameDev, 0},
    };
    for (const Write& write : writes) {
        if (write.control == &button) {
            WriteSettingAndCommit(write.item, Bytes({write.value}));
        }
    }
}

void TRFIDMainForm::btnGlobalSoundVolClick() {
    const std::string value = Bytes({static_cast<uint8_t>(trbVolume.Position() / 2)});
    AddLog(DataLogLine("sound cfg: ", static_cast<char>(contract::kItemSoundVolume) + value));
    device::SetGlobalSoundVolume(*reader_, static_cast<uint8_t>(trbVolume.Position()));
}

void TRFIDMainForm::btnSetLEDBrightnessClick() {
    device::SetLedBrightness(*reader_, static_cast<uint8_t>(cbLEDBrightness.ItemIndex() & 7),
                             Volume());
}

std::array<TRFIDMainForm::ByteMenuBinding, 3> TRFIDMainForm::ByteMenuBindings() {
    return {{{btnLang, contract::kItemLanguage, "Lang"},
             {btnNoNet, contract::kItemNoNetwork, "NoNet"},
             {btnLMode, contract::kItemLockMode, "LMode"}}};
}

void TRFIDMainForm::BindByteMenuButtons() {
    for (const ByteMenuBinding& binding : ByteMenuBindings()) {
        BindByteMenuButton(binding.button, binding.item, binding.caption);
    }
}

void TRFIDMainForm::BindByteMenuButton(TControl& button, uint8_t item, const std::string& caption) {
    button.SetCaption(caption);
    button.SetTag(item);
    ReadSetting(item);
}

void TRFIDMainForm::ByteMenuPopup(const TControl& button) {
    const auto table = ByteMenuTableForItem(static_cast<uint8_t>(button.Tag()));
    if (button.Tag() < 0 || button.Tag() > 255 || table.empty()) {
        return;
    }
    pmByteMenu.Clear();
    for (const TByteMenuInfo& row : table) {
        char hint[32];
        std::snprintf(hint, sizeof hint, "0x%.2X: %s", row.Value, row.ShortName);
        const int tag = button.Tag() * 256 + row.Value;
        pmByteMenu.Add(
            TMenuItem{row.Caption, hint, tag, true, {}, [this, tag] { ByteMenuChoose(tag); }});
    }
    services_.Popup(pmByteMenu, &button);
}

void TRFIDMainForm::ByteMenuChoose(int tag) {
    const auto item = static_cast<uint8_t>(tag / 256);
    const auto value = static_cast<uint8_t>(tag % 256);
    device::ChooseByteValue(*reader_, item, value);
}

void TRFIDMainForm::btnNetCfgGetClick() {
    SendToSelection([this] { ReadSetting(contract::kItemNetConfig); });
}

void TRFIDMainForm::btnNetCfgSetClick() {
    SendToSelection([this] {
        const std::string target = reader_->UDPTarget();
        const std::string caption = target.empty() ? "Network Config" : "for: " + target;
        const std::string result = editors_.EditNetConfig(LastNetConfig, caption);
        if (!result.empty()) {
            LastNetConfig = result;
            WriteSetting(contract::kItemNetConfig, result);
        }
    });
}

void TRFIDMainForm::FullDefaults() {
    const auto logged = [this](const char* label, uint8_t item, const std::string& value) {
        AddLog(DataLogLine(label, static_cast<char>(item) + value));
    };
    const auto send = [this](uint8_t cmd) { reader_->SendCommand(cmd, 0, 0); };

    if (cbPreRes.Checked()) {
        send(contract::kPreReset37);
        send(contract::kResetBehavior);
        send(contract::kPreReset35);
    }
    const bool terminal = cbTermDefs.Checked();
    WriteSetting(contract::kItemAuthFlags, terminal ? Bytes({0xCF, 0x03}) : Bytes({0xCF, 0xF0}));

    const std::string sound = Bytes({kFullDefsSoundVolume});
    logged("sound cfg: ", contract::kItemSoundVolume, sound);
    WriteSetting(contract::kItemSoundVolume, sound);

    const std::string led = Bytes({static_cast<uint8_t>(cbLEDBrightness.ItemIndex() & 7)});
    logged("LED brightness cfg: ", contract::kItemLedBrightness, led);
    WriteSetting(contract::kItemLedBrightness, led);

    const std::string noNetwork = Bytes({static_cast<uint8_t>(terminal ? 1 : 0)});
    logged("set turn cfg: ", contract::kItemNoNetwork, noNetwork);
    WriteSetting(contract::kItemNoNetwork, noNetwork);

    const std::string lockMode = Bytes({0});
    logged("set TARN cfg: ", contract::kItemLockMode, lockMode);
    WriteSetting(contract::kItemLockMode, lockMode);

    const std::string noLocks = device::LockersRecord({}, LockerCountLimit());
    logged("set NO LOCKS cfg: ", contract::kItemLockersList, noLocks);
    WriteSetting(contract::kItemLockersList, noLocks);

    const std::string twoLocks = device::LockersRecord(
        {{62, Win1251FromUtf8("Шкаф")}, {33, Win1251FromUtf8("Сейф")}}, LockerCountLimit());
    logged("set 2 LOCKS cfg: ", contract::kItemLockersList, twoLocks);

    const std::string russian = Bytes({1});
    logged("set LANG RUS cfg: ", contract::kItemLanguage, russian);
    WriteSetting(contract::kItemLanguage, russian);

    std::string keys(kSectorKeyBytes, '\xFF');
    keys += Bytes({0, 0});
    WriteSetting(contract::kItemSectorKeys, keys);

    send(contract::kPostWrite36);
    send(contract::kCommit);
    send(contract::kPostWrite34);
    BindByteMenuButtons();
}

} // namespace velkor
