// Lockers list reads and lock kits, the keep-alive timer, and the
// direct-connect menu read from "dc.txt".
#include "ui/main/URfidForm.h"

#include "device/DeviceCommands.h"
#include "device/SettingsRecords.h"
#include "protocol/ControllerContract.h"
#include "ui/main/DirectConnect.h"

#include <chrono>

namespace velkor {

namespace {

constexpr const char* kDirectConnectFile = "dc.txt";
constexpr int kTargetTag = 2;
constexpr int kOtherTag = 1;

} // namespace

void TRFIDMainForm::btnLocksClick() {
    if (!services_.IsCtrlDown()) {
        ReadSetting(contract::kItemLockersList);
        return;
    }
    if (BuildLockKitMenu(false)) {
        services_.Popup(pmLocks, &btnLocks);
    }
}

void TRFIDMainForm::btnLocksContextPopup() {
    if (BuildLockKitMenu(services_.IsCtrlDown())) {
        services_.Popup(pmLocks, &btnLocks);
    }
}

bool TRFIDMainForm::BuildLockKitMenu(bool detailed) {
    pmLocks.Clear();
    for (size_t i = 0; i < LockKits.size(); ++i) {
        const TMenuLockInfo& kit = LockKits[i];
        std::string hint;
        for (const TLockInfo& lock : kit.Locks) {
            hint.append("[")
                .append(std::to_string(lock.Block))
                .append(":")
                .append(lock.Name)
                .append("] ");
        }
        const bool useHint = detailed || TrimBlanks(kit.Caption).empty();
        pmLocks.Add(
            TMenuItem{useHint ? hint : kit.Caption, hint, static_cast<int>(i), true, {}, [this, i] {
                          WriteLockKit(i);
                      }});
    }
    return !pmLocks.Items().empty();
}

void TRFIDMainForm::WriteLockKit(size_t kit) {
    if (kit >= LockKits.size()) {
        return;
    }
    WriteSetting(contract::kItemLockersList,
                 device::LockersRecord(LockKits[kit].Locks, LockerCountLimit()));
    reader_->SendCommand(contract::kPostWrite36, 0, 0);
}

void TRFIDMainForm::btnNetRepeatTestClick() {
    if (!services_.IsCtrlDown()) {
        ReadSetting(contract::kItemLockersList);
        return;
    }
    PostModalMsg(LockersEditEntry(), contract::kItemLockersList, "Lockers list data",
                 std::string(1, static_cast<char>(LockerCountLimit())), 0);
}

void TRFIDMainForm::btnLlistReqClick() {
    SendToSelection([this] { ReadSetting(contract::kItemLockersList); });
}

void TRFIDMainForm::EnablePinger() {
    if (tmrPinger.Enabled()) {
        return;
    }
    tmrPinger.SetEnabled(true);
    pingerTimer_ = mainThread_.StartTimer(std::chrono::milliseconds(tmrPinger.Interval()),
                                          [this] { tmrPingerTimer(); });
}

void TRFIDMainForm::tmrPingerTimer() {
    if (pnToolBar.Visible()) {
        reader_->SendCommand(contract::kKeepAlive, 0, 0);
    }
}

void TRFIDMainForm::btnDirectConnectClick() {
    if (!services_.IsCtrlDown() && BuildDirectConnectMenu()) {
        services_.Popup(pmDirectConnect, &btnDirectConnect);
    } else {
        ConnectPrompt();
    }
}

bool TRFIDMainForm::BuildDirectConnectMenu() {
    pmDirectConnect.Clear();
    const auto lines = services_.ReadLines(kDirectConnectFile);
    if (!lines) {
        return false;
    }
    for (const DirectConnectEntry& entry : DirectConnectEntries(*lines)) {
        TMenuItem item{entry.Caption, entry.Hint, 0, true, {}, {}};
        switch (entry.EntryKind) {
        case DirectConnectEntry::Target:
        case DirectConnectEntry::Other:
            item.Tag = entry.EntryKind == DirectConnectEntry::Target ? kTargetTag : kOtherTag;
            item.OnClick = [this, hint = entry.Hint] {
                DirectConnectChoose(TMenuItem{{}, hint, 0, true, {}, {}});
            };
            break;
        case DirectConnectEntry::Disabled:
            item.Enabled = false;
            break;
        case DirectConnectEntry::Separator:
            break;
        }
        pmDirectConnect.Add(std::move(item));
    }
    return !pmDirectConnect.Items().empty();
}

void TRFIDMainForm::DirectConnectChoose(const TMenuItem& entry) {
    if (const auto target = ParseHostPort(entry.Hint, contract::kDefaultTcpPort)) {
        ConnectTo(target->Host, target->Port);
    } else {
        ConnectPrompt();
    }
}

} // namespace velkor
