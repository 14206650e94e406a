// The discovery page: scan, the device list, the UDP target of the selected
// device, and the connect and disconnect sequences.
#include "ui/main/URfidForm.h"

#include "device/DeviceCommands.h"
#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "ui/main/DirectConnect.h"

#include <chrono>

namespace velkor {

namespace {

constexpr unsigned kConnectTimeoutMs = 3000;
constexpr unsigned kDisconnectTimeoutMs = 100;
constexpr std::chrono::milliseconds kFarewellWait{300};
constexpr uint16_t kGreetingHoldMs = 500;
constexpr uint16_t kConnectKeepAliveA = 10;
constexpr uint16_t kConnectKeepAliveB = 15;

} // namespace

void TRFIDMainForm::btnScanClick() {
    lbDeviceList.Clear();
    btnScan.SetCaption("Scan");
    reader_->Discover();
}

void TRFIDMainForm::cbUDPFlagChange() {
    reader_->SetUDPFlag(static_cast<uint8_t>(cbUDPFlag.ItemIndex() + 1));
}

void TRFIDMainForm::ReaderDevice(const TRFIDDeviceBaseCaps& caps) {
    std::string text = DeviceEntryText(caps);
    lbDeviceList.Add(caps, text);
    btnScan.SetCaption("Scan (" + std::to_string(lbDeviceList.Count()) + ")");
    AddLog("discovered device: " + text);
}

void TRFIDMainForm::lbDeviceListClick() {
    if (const DeviceListEntry* entry = lbDeviceList.Selected()) {
        AddLog("clicked on [" + MacText(entry->Caps) + "]");
    }
}

void TRFIDMainForm::lbDeviceListDblClick() {
    if (lbDeviceList.Count() == 0) {
        ConnectTo(contract::kDefaultControllerAddress, contract::kDefaultTcpPort);
        return;
    }
    if (const DeviceListEntry* entry = lbDeviceList.Selected()) {
        const TRFIDDeviceBaseCaps caps = entry->Caps; // the connect may change the list
        AddLog("dblclicked on [" + MacText(caps) + "]");
        ConnectTo(caps.IPText, caps.TCPPort);
    }
}

void TRFIDMainForm::lbDeviceListContextPopup() {
    if (SelectDeviceTarget()) {
        services_.Popup(pmReset, nullptr);
    }
}

bool TRFIDMainForm::SelectDeviceTarget() {
    const DeviceListEntry* entry = lbDeviceList.Selected();
    if (entry == nullptr || entry->Caps.IPText.empty()) {
        return false;
    }
    reader_->SetUDPTarget(entry->Caps.IPText);
    return true;
}

bool TRFIDMainForm::ClearDeviceTarget() {
    reader_->SetUDPTarget({});
    return false;
}

bool TRFIDMainForm::SendToSelection(const std::function<void()>& send) {
    const DeviceListEntry* entry = lbDeviceList.Selected();
    if (!reader_->IsConnected() && entry != nullptr && entry->Caps.IPText.empty()) {
        AddLog("nothing sent: the selected device [" + MacText(entry->Caps) +
               "] reported no address");
        return false;
    }
    SelectDeviceTarget();
    send();
    ClearDeviceTarget();
    return true;
}

bool TRFIDMainForm::ConnectTo(const std::string& host, int port) {
    ShowConnecting();
    if (!reader_->Connect(host, port, kConnectTimeoutMs)) {
        AddLog("connect failed");
        DisconnectSequence();
        return false;
    }
    AddLog("connected");
    labConnecting.SetVisible(false);
    pnDevice.SetVisible(true);
    mainThread_.ProcessMessages();

    std::string keepAlive(4, '\0');
    uint16_t at = 0;
    eproto_put_le(reinterpret_cast<uint8_t*>(keepAlive.data()), &at, kConnectKeepAliveA, 2);
    eproto_put_le(reinterpret_cast<uint8_t*>(keepAlive.data()), &at, kConnectKeepAliveB, 2);
    reader_->SendCommandData(contract::kKeepAlive, keepAlive, 0, 0);
    ShowDeviceText("connected", kGreetingHoldMs, 1, false, 0, 0);
    BindByteMenuButtons();
    EnablePinger();
    return true;
}

bool TRFIDMainForm::ConnectPrompt() {
    const auto target =
        ParseHostPort(editors_.InputString({}, "Input a string"), contract::kDefaultTcpPort);
    return target && ConnectTo(target->Host, target->Port);
}

void TRFIDMainForm::btnDisconnectClick() {
    DisconnectSequence();
}

void TRFIDMainForm::DisconnectSequence() {
    ShowDeviceText("disconnected", kGreetingHoldMs, 2, false, 0, 0);
    mainThread_.ProcessMessagesFor(kFarewellWait);
    ShowMainPage();
    reader_->Disconnect(kDisconnectTimeoutMs);
}

} // namespace velkor
