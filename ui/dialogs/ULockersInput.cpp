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
        btnLock[n].name = "btnLock" + std::to_string(n);
        btnLock[n].caption = "Block 65";
        btnLock[n].tag = n;
        edLock[n].name = "edLock" + std::to_string(n);
        edLock[n].text = "Locker";
        edLock[n].maxLength = static_cast<int>(kNameSize);
    }
    pmLockers.name = "pmLockers";
    Button1 = MakeOkButton("Button1");
    Button2.name = "Button2";
    Button2.caption = "Cancel";
    Button2.modalResult = mrCancel;
}

void TfrmLockersInput::SetRowBlock(int row, uint8_t block) {
    rowBlock.at(row) = block;
    const bool chosen = block != 0;
    btnLock[row].caption = chosen ? "Block " + std::to_string(block) : kNoBlock;
    btnLock[row].bold = chosen;
    edLock[row].bold = chosen;
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
        btnLock[n].enabled = enabled;
        edLock[n].enabled = enabled;
    }
    if (!list.Complete) {
        return false;
    }
    for (std::size_t i = 0; i < list.Lockers.size() && i < kRows; ++i) {
        if (!list.Lockers[i].Name.empty()) {
            edLock[i].text = list.Lockers[i].Name;
        }
        SetRowBlock(static_cast<int>(i), list.Lockers[i].Block);
    }
    return true;
}

std::string TfrmLockersInput::GetData() const {
    std::vector<TLockInfo> lockers;
    int offered = 0;
    for (int n = 0; n < kRows; ++n) {
        if (!btnLock[n].enabled || !edLock[n].enabled) {
            continue;
        }
        ++offered;
        if (rowBlock[n] != 0) {
            lockers.push_back({rowBlock[n], edLock[n].text});
        }
    }
    return device::LockersRecord(lockers, std::max(offered, kMinRows));
}

void TfrmLockersInput::btnLockClick(int row) {
    menuRow_ = row;
    pmLockers.items.clear();
    pmLockers.items.push_back({kNoBlock, {}, 0, true, {}, {}});
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
        pmLockers.items.push_back(std::move(submenu));
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
