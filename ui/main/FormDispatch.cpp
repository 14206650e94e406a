// Inbound packets: the dispatch table, the input lamps, card reads, and the
// settings replies with their queued edits and write-back.
#include "ui/main/URfidForm.h"

#include "device/CommandSequences.h"
#include "device/SettingsRecords.h"
#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "ui/main/CardRead.h"

#include <cstdio>

namespace velkor {

namespace {

constexpr uint16_t kAccessHoldMs = 2000;
constexpr uint16_t kClosedLockersHoldMs = 3000;
constexpr unsigned kAccessRelayMs = 200;
constexpr uint32_t kWelcomeValue = 4000;

// Which editor a settings reply opens, and how long the reply must be.
struct EditRoute {
    uint8_t item;
    size_t minLength; // the whole data, item byte included, must be longer
    ConfigEditorMethod entry;
    const char* caption;
};

constexpr EditRoute kEditRoutes[] = {
    {contract::kItemSectorKeys, 96, &IConfigEditors::EditSectorKeys, "Sector Keys"},
    {contract::kItemDbWaitTimeout, 2, &IConfigEditors::EditWaitTimeout, "DB Wait TMO"},
    {contract::kItemRelayOpenTime, 4, &IConfigEditors::EditRelayOpenTime, "Relay Open Time"},
    {contract::kItemRelayCloseFlags, 1, &IConfigEditors::EditOptoFlags, "Relay Close Flags"},
    {contract::kItemRelayOpenFlags, 1, &IConfigEditors::EditOptoFlags, "Relay Open Flags"},
    {contract::kItemRelayHoldFlags, 1, &IConfigEditors::EditOptoFlags, "Relay Hold Flags"},
    {contract::kItemAuthFlags, 1, &IConfigEditors::EditAuthFlags, "Auth Flags"},
    {contract::kItemUsartFlags, 1, &IConfigEditors::EditUSARTConfig, "USART Flags"},
    {contract::kItemDebugFlags, 1, &IConfigEditors::EditDebugFlags, "Debug Flags"},
};

} // namespace

void TRFIDMainForm::DispatchPacket() {
    const TRFIDReaderPacket packet = LastPacket;
    AddLog(PacketLogLine(packet));
    switch (packet.cmd) {
    case contract::kCardPanelOff:
        pnCard.SetVisible(false);
        break;
    case contract::kCardRead:
        HandleCardRead(packet);
        break;
    case contract::kKeepAlive:
        ShowInputStates(packet.code);
        reader_->SendCommand(contract::kKeepAliveReply, 0, packet.flags);
        AddLog("autoping");
        break;
    case contract::kInputState:
    case contract::kKeepAliveReply:
        ShowInputStates(packet.code);
        break;
    case contract::kUsartData:
        AddLog("USART data: [" + EscapeControlBytes(packet.data) + "]");
        break;
    case contract::kSettingsData:
        if (!packet.data.empty()) {
            HandleSettingsReply(packet);
        }
        break;
    default:
        break; // discovery replies become list entries in the reader; the rest is logged only
    }
}

void TRFIDMainForm::ShowInputStates(uint8_t state) {
    char line[16];
    std::snprintf(line, sizeof line, "istate: [%.2X]", state);
    AddLog(line);
    TControl* lamps[] = {&shInput1, &shInput2, &shInput3};
    for (int bit = 0; bit < 3; ++bit) {
        lamps[bit]->SetColour((state >> bit & 1) != 0 ? clGreen : clSilver);
    }
}

void TRFIDMainForm::HandleCardRead(const TRFIDReaderPacket& packet) {
    const auto card = DecodeCardRead(packet.data);
    if (!card) {
        return;
    }
    labUID.SetCaption(card->UIDLabel);
    labCab.SetCaption(card->CabText);
    labCell.SetCaption(card->CellText);
    pnCard.SetVisible(true);
    if (!card->HasStatus) {
        return;
    }
    const uint8_t flags = packet.flags;
    if (card->Status == 1) {
        ShowDeviceText(Win1251FromUtf8("Доступ разрешен"), kAccessHoldMs, 1, false, flags, 0);
        PulseRelay(0, kAccessRelayMs, flags);
    } else if (card->Status != 0) {
        ShowDeviceText(Win1251FromUtf8("Доступ запрещен"), kAccessHoldMs, 4, false, flags, 0);
    } else if (card->HasClosedLockers) {
        ShowDeviceText(Win1251FromUtf8("У вас есть\r\nзакрытые шкафы.\r\n\r\nРазблокируйте."),
                       kClosedLockersHoldMs, 4, true, flags, 0);
        AddLog("flags: " + std::to_string(flags));
    } else {
        const uint8_t mode = (packet.code & 0x04) != 0 ? 7 : 3;
        SendCardMessage(kWelcomeValue, mode, flags, 0, card->RawUID,
                        Win1251FromUtf8("ДОБРО ПОЖАЛОВАТЬ"));
    }
}

void TRFIDMainForm::HandleSettingsReply(const TRFIDReaderPacket& packet) {
    const std::string& data = packet.data;
    const uint8_t item = static_cast<uint8_t>(data[0]);
    const std::string value = data.substr(1);
    const size_t n = data.size();
    const uint8_t flags = packet.flags;

    switch (item) {
    case contract::kItemNetConfig:
        if (n > device::NetworkRecord::kSize) {
            LastNetConfig = value.substr(0, device::NetworkRecord::kSize);
            if (reader_->IsConnected()) {
                PostModalMsg(EditorEntry(&IConfigEditors::EditNetConfig), item, "Network Config",
                             LastNetConfig, flags);
            }
        }
        return;
    case contract::kItemLockersList:
        if (n > 1) {
            const std::string count = std::to_string(n / device::kLockerRowSize);
            if (count != cbLLMC.Text()) {
                const int index = cbLLMC.IndexOf(count);
                if (index >= 0) {
                    cbLLMC.SetItemIndex(index);
                }
                cbLLMC.SetColour(clRed);
            }
            PostModalMsg(LockersEditEntry(), item, "Lockers list data", value, flags);
        }
        return;
    case contract::kItemLanguage:
    case contract::kItemNoNetwork:
    case contract::kItemLockMode:
        for (const ByteMenuBinding& binding : ByteMenuBindings()) {
            const TByteMenuInfo* info =
                n > 1 && binding.item == item
                    ? FindByteMenuInfo(static_cast<uint8_t>(value[0]), ByteMenuTableForItem(item))
                    : nullptr;
            if (info != nullptr) {
                binding.button.SetCaption(binding.caption + std::string(": ") + info->ShortName);
            }
        }
        return;
    default:
        break;
    }
    for (const EditRoute& route : kEditRoutes) {
        if (route.item == item && n > route.minLength) {
            PostModalMsg(EditorEntry(route.entry), item, route.caption, value, flags);
        }
    }
}

TModalMsgObject::EditEntry TRFIDMainForm::EditorEntry(ConfigEditorMethod entry) {
    return [this, entry](const std::string& value, const std::string& caption) {
        return (editors_.*entry)(value, caption);
    };
}

TModalMsgObject::EditEntry TRFIDMainForm::LockersEditEntry() {
    return [this](const std::string& value, const std::string& caption) {
        std::string result = editors_.EditLockersList(value, caption);
        if (!result.empty()) {
            AddLog(" data[" + eproto_bytes_to_hex(result) + "]");
        }
        cbLLMC.SetColour(clWindow);
        return result;
    };
}

void TRFIDMainForm::PostModalMsg(TModalMsgObject::EditEntry edit, uint8_t item,
                                 const std::string& caption, const std::string& value,
                                 uint8_t flags) {
    auto message = std::make_shared<TModalMsgObject>(
        TModalMsgObject{std::move(edit), value, caption, item, flags});
    Post(IMainThread::Message::ModalEdit, [this, message] { EditAndWriteBack(*message); });
}

void TRFIDMainForm::EditAndWriteBack(TModalMsgObject& message) {
    if (!message.Edit) {
        return;
    }
    const std::string result = message.Edit(message.Value, message.Caption);
    if (reader_ == nullptr || !reader_->IsConnected()) {
        return;
    }
    if (message.Item != 0 && !result.empty()) {
        SendSettings(message.Item, message.Flags, result);
    }
}

void TRFIDMainForm::SendSettings(uint8_t item, uint8_t flags, const std::string& value) {
    if (item == contract::kItemNetConfig) {
        LastNetConfig = value;
    }
    device::SendSettings(*reader_, item, flags, value);
    AddLog(DataLogLine("settings ", static_cast<char>(item) + value));
}

} // namespace velkor
