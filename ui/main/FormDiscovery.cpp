// The discovery page: the interface choice, scan, the device table, the UDP
// target of the selected device, and the connect and disconnect sequences.
#include "ui/main/URfidForm.h"

#include "device/DeviceCommands.h"
#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "ui/main/DirectConnect.h"
#include "ui/main/FormSettings.h"

#include <algorithm>
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
    RefreshInterfaces(); // a network may have come or gone since the last scan
    if (ApplyDiscoveryTargets()) {
        reader_->Discover();
    }
}

void TRFIDMainForm::cbUDPFlagChange() {
    reader_->SetUDPFlag(static_cast<uint8_t>(cbUDPFlag.ItemIndex() + 1));
    Remember(kSettingUdpFlag, cbUDPFlag.Text());
}

void TRFIDMainForm::cbInterfaceChange() {
    const int index = cbInterface.ItemIndex();
    if (index < 0 || index >= static_cast<int>(interfaceNames_.size())) {
        return;
    }
    const std::string name = interfaceNames_[static_cast<size_t>(index)];
    Remember(kSettingInterface, name.empty() ? "all" : name);
    ApplyDiscoveryTargets();
}

void TRFIDMainForm::RefreshInterfaces() {
    if (options_.BroadcastAddress) {
        // Fixed by the command line: the one address, nothing to choose.
        interfaceNames_ = {*options_.BroadcastAddress};
        cbInterface.SetItems({*options_.BroadcastAddress + " (--broadcast)"}, 0);
        cbInterface.SetEnabled(false);
        return;
    }
    const int index = cbInterface.ItemIndex();
    const std::string chosen = index > 0 && index < static_cast<int>(interfaceNames_.size())
                                   ? interfaceNames_[static_cast<size_t>(index)]
                                   : std::string();
    interfaces_.clear();
    if (!interfaceSource_(interfaces_)) {
        interfaces_.clear();
    }
    limitedSource_ = routeSource_();
    std::vector<std::string> items = {kAllInterfaces};
    interfaceNames_ = {std::string()};
    for (const tNetworkInterface& entry : interfaces_) {
        if (CanScanOn(entry) && !entry.InterfaceName.empty()) {
            items.push_back(DescribeInterface(entry));
            interfaceNames_.push_back(entry.InterfaceName);
        }
    }
    cbInterface.SetItems(std::move(items), 0);
    ChooseInterface(chosen);
}

void TRFIDMainForm::ChooseInterface(const std::string& nameOrAddress) {
    if (nameOrAddress.empty() || nameOrAddress == "all") {
        cbInterface.SetItemIndex(0);
        return;
    }
    std::string name = nameOrAddress;
    for (const tNetworkInterface& entry : interfaces_) {
        if (KVT_IPv4TextFromNetworkOrder(entry.IP) == nameOrAddress &&
            !entry.InterfaceName.empty()) {
            name = entry.InterfaceName;
        }
    }
    const auto found = std::find(interfaceNames_.begin(), interfaceNames_.end(), name);
    if (found != interfaceNames_.end()) {
        cbInterface.SetItemIndex(static_cast<int>(found - interfaceNames_.begin()));
        return;
    }
    // Chosen but not there now: kept, so the scan says why it finds nothing.
    cbInterface.Add(name + " (not up)");
    interfaceNames_.push_back(name);
    cbInterface.SetItemIndex(static_cast<int>(interfaceNames_.size()) - 1);
}

bool TRFIDMainForm::ApplyDiscoveryTargets() {
    DiscoveryScope scope;
    if (options_.BroadcastAddress) {
        scope = {DiscoveryScope::Kind::OneAddress, *options_.BroadcastAddress};
    } else if (const int index = cbInterface.ItemIndex(); index > 0) {
        scope = {DiscoveryScope::Kind::OneInterface, interfaceNames_[static_cast<size_t>(index)]};
    }
    std::string error;
    std::optional<std::vector<std::string>> targets = DiscoveryTargets(scope, interfaces_, &error);
    if (!targets) {
        reader_->SetBroadcastAddresses({});
        AddLog("nothing sent to every device: " + error);
        return false;
    }
    reader_->SetBroadcastAddresses(*targets);
    reader_->SetCommandAddresses(CommandTargets(std::move(*targets), interfaces_, limitedSource_));
    return true;
}

void TRFIDMainForm::ReaderDevice(const DiscoveryAnswer& answer) {
    const DeviceListEntry* entry = lbDeviceList.Add(answer);
    if (entry == nullptr) {
        return; // the same controller on another path
    }
    btnScan.SetCaption("Scan (" + std::to_string(lbDeviceList.EntryCount()) + ")");
    AddLog("discovered device: " + entry->Text);
}

void TRFIDMainForm::edFilterChange() {
    lbDeviceList.SetFilter(edFilter.Text());
}

void TRFIDMainForm::lbDeviceListHeaderClick(int column) {
    lbDeviceList.SortBy(column);
}

void TRFIDMainForm::CopyDeviceRows(const std::vector<int>& rows) {
    if (!rows.empty()) {
        services_.SetClipboardText(lbDeviceList.RowsText(rows));
    }
}

void TRFIDMainForm::lbDeviceListClick() {
    if (const DeviceListEntry* entry = lbDeviceList.Selected()) {
        AddLog("clicked on [" + MacText(entry->Caps) + "]");
    }
}

void TRFIDMainForm::lbDeviceListDblClick() {
    if (lbDeviceList.EntryCount() == 0) {
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
    const std::string answer = editors_.InputString(lastDirectTarget_, "Input a string");
    const auto target = ParseHostPort(answer, contract::kDefaultTcpPort);
    if (!target) {
        return false;
    }
    lastDirectTarget_ = answer;
    Remember(kSettingDirectTarget, answer);
    return ConnectTo(target->Host, target->Port);
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
