#include "ui/dialogs/uAuthFlagsInput.h"

#include "device/SettingsRecords.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"
#include "ui/dialogs/NumberText.h"

#include <algorithm>
#include <array>

namespace velkor::dialogs {

namespace {

constexpr std::size_t kLowFlags = device::kAuthLowFlags; // bits 0-4, always shown
constexpr int kReaderLockShift = device::kAuthReaderLockShift;
constexpr uint32_t kReaderLockMask = device::kAuthReaderLockMask;
constexpr int kBlockShift = device::kAuthBlockShift;
constexpr uint32_t kBlockMask = device::kAuthBlockMask;

// The check boxes of bits 0-7, in bit order.
template <typename Form> auto FlagBoxes(Form& form) {
    return std::array{&form.cbnlaAll,       &form.cbnlaAuth,         &form.cbnlaUnauth,
                      &form.cbnlaNoFinger,  &form.cbnlaNetFastReact, &form.cbnlaCTReject,
                      &form.cbnlaUIDUnlock, &form.cbnlaNCAuthSet};
}

} // namespace

TfrmAuthFlagsInput::TfrmAuthFlagsInput()
    : DialogForm("Auth Flags Options"), cbnlaAll("cbnlaAll", "Enable"),
      cbnlaAuth("cbnlaAuth", "Granted to Authjorized"),
      cbnlaUnauth("cbnlaUnauth", "Denied to Unauthorized"),
      cbnlaNoFinger("cbnlaNoFinger", "NoFinger opt*"),
      cbnlaNetFastReact("cbnlaNetFastReact", "Net Fast React"),
      cbnlaCTReject("cbnlaCTReject", "CTCard reject"),
      cbnlaUIDUnlock(TCheckBox("cbnlaUIDUnlock", "Locked UID Auto Unlock (on IDLE)")),
      cbnlaNCAuthSet("cbnlaNCAuthSet", "NoCheck Auth Set"),
      labReaderLock("labReaderLock", "Reader lock:"), labABlock("labABlock", "Auth sector:") {
    cbReaderLock = TComboBox("cbReaderLock");
    for (const char* entry : device::AuthReaderLockNames()) {
        cbReaderLock.Add(entry);
    }
    cbABlock = TComboBox("cbABlock");
    cbABlock.SetTag(1);
    Button1 = MakeOkButton("Button1");
}

void TfrmAuthFlagsInput::EnableWideControls(bool enabled) {
    for (TControl* control :
         std::initializer_list<TControl*>{&cbnlaCTReject, &cbnlaUIDUnlock, &cbnlaNCAuthSet,
                                          &labReaderLock, &cbReaderLock, &labABlock, &cbABlock}) {
        control->SetEnabled(enabled);
    }
}

void TfrmAuthFlagsInput::SetData(const std::string& value) {
    const device::AuthFlags decoded = device::DecodeAuthFlags(value);
    length_ = decoded.Length;
    const uint32_t flags = decoded.Value;
    const auto boxes = FlagBoxes(*this);
    for (std::size_t bit = 0; bit < kLowFlags; ++bit) {
        boxes[bit]->SetChecked((flags >> bit & 1) != 0);
    }
    EnableWideControls(false);
    cbReaderLock.SetItemIndex(0);
    cbABlock.Clear();
    for (int block = 0; block < kBlocks; ++block) {
        const bool sectorTrailer = (block + 1) % 4 == 0;
        cbABlock.Add(block == 0 ? "NONE" : std::to_string(block),
                     sectorTrailer ? std::nullopt : std::optional<int>(block));
    }
    cbABlock.SetItemIndex(0);
    if (length_ < 2) {
        return;
    }
    for (std::size_t bit = kLowFlags; bit < boxes.size(); ++bit) {
        boxes[bit]->SetChecked((flags >> bit & 1) != 0);
    }
    cbReaderLock.SetItemIndex(static_cast<int>(flags >> kReaderLockShift & kReaderLockMask));
    cbABlock.SetItemIndex(static_cast<int>(flags >> kBlockShift & kBlockMask));
    EnableWideControls(true);
}

std::string TfrmAuthFlagsInput::GetData() const {
    const auto boxes = FlagBoxes(*this);
    const std::size_t shownBits = length_ >= 2 ? boxes.size() : kLowFlags;
    uint32_t flags = 0;
    for (std::size_t bit = 0; bit < shownBits; ++bit) {
        flags |= (boxes[bit]->Checked() ? 1u : 0u) << bit;
    }
    if (length_ >= 2) {
        flags |= (static_cast<uint32_t>(std::max(cbReaderLock.ItemIndex(), 0)) & kReaderLockMask)
                 << kReaderLockShift;
        flags |= (static_cast<uint32_t>(std::max(cbABlock.ItemIndex(), 0)) & kBlockMask)
                 << kBlockShift;
    }
    return device::EncodeAuthFlags({length_, flags});
}

std::string EditAuthFlags(IModalRunner& runner, const std::string& value,
                          const std::string& caption) {
    return EditRecordIfChanged<TfrmAuthFlagsInput>(runner, value, caption);
}

} // namespace velkor::dialogs
