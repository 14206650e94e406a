#include "ui/dialogs/ULockersInput.h"

#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"

#include <algorithm>

namespace velkor::dialogs {

namespace {

constexpr int kSectors = 16;
constexpr int kBlocksPerSector = 4;
const char* const kNoBlock = "- None -";

} // namespace

TfrmLockersInput::TfrmLockersInput() : DialogForm("Lockers") {
    for (int n = 0; n < kRows; ++n) {
        btnLock[n] = TButton("btnLock" + std::to_string(n), "Block 65");
        btnLock[n].SetTag(n);
        edLock[n] = TEdit("edLock" + std::to_string(n));
        edLock[n].SetText("Locker");
        edLock[n].SetMaxLength(static_cast<int>(kNameSize));
    }
    pmLockers = TPopupMenu("pmLockers");
    Button1 = MakeOkButton("Button1");
    Button2 = TButton("Button2", "Cancel");
    Button2.SetModalResult(mrCancel);
}

void TfrmLockersInput::SetRowBlock(int row, uint8_t block) {
    rowBlock.at(row) = block;
    const bool chosen = block != 0;
    btnLock[row].SetCaption(chosen ? "Block " + std::to_string(block) : kNoBlock);
    btnLock[row].SetBold(chosen);
    edLock[row].SetBold(chosen);
}

bool TfrmLockersInput::SetData(const std::string& block) {
    for (int n = 0; n < kRows; ++n) {
        SetRowBlock(n, 0);
    }
    if (block.empty()) {
        return false;
    }
    const device::LockersList list = device::DecodeLockersList(block);
    for (int n = 0; n < kRows; ++n) {
        const bool enabled = static_cast<std::size_t>(n) < list.Rows;
        btnLock[n].SetEnabled(enabled);
        edLock[n].SetEnabled(enabled);
    }
    if (!list.Complete) {
        return false;
    }
    for (std::size_t i = 0; i < list.Lockers.size() && i < kRows; ++i) {
        if (!list.Lockers[i].Name.empty()) {
            edLock[i].SetText(list.Lockers[i].Name);
        }
        SetRowBlock(static_cast<int>(i), list.Lockers[i].Block);
    }
    return true;
}

std::string TfrmLockersInput::GetData() const {
    std::vector<TLockInfo> lockers;
    int offered = 0;
    for (int n = 0; n < kRows; ++n) {
        if (!btnLock[n].Enabled() || !edLock[n].Enabled()) {
            continue;
        }
        ++offered;
        if (rowBlock[n] != 0) {
            lockers.push_back({rowBlock[n], edLock[n].Text()});
        }
    }
    return device::LockersRecord(lockers, std::max(offered, kMinRows));
}

void TfrmLockersInput::btnLockClick(int row) {
    menuRow_ = row;
    pmLockers.Clear();
    pmLockers.Add({kNoBlock, {}, 0, true, {}, {}});
    for (int sector = 0; sector < kSectors; ++sector) {
        TMenuItem submenu{"Sector " + std::to_string(sector), {}, 0, true, {}, {}};
        for (int k = 0; k < kBlocksPerSector; ++k) {
            const int number = kBlocksPerSector * sector + k;
            submenu.Items.push_back({"Block " + std::to_string(number),
                                     {},
                                     number,
                                     device::IsLockerBlock(number),
                                     {},
                                     {}});
        }
        pmLockers.Add(std::move(submenu));
    }
}

void TfrmLockersInput::pmLockersChoose(const TMenuItem& item) {
    if (menuRow_ >= 0 && menuRow_ < kRows && item.Enabled) {
        SetRowBlock(menuRow_, static_cast<uint8_t>(item.Tag));
    }
}

std::string EditLockersList(IModalRunner& runner, const std::string& block,
                            const std::string& caption) {
    return EditRecord<TfrmLockersInput>(runner, block, caption);
}

} // namespace velkor::dialogs
