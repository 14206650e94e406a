#include "ui/dialogs/ULockersInput.h"

#include "protocol/eproto.h"
#include "ui/dialogs/EditOperations.h"

#include <algorithm>

namespace dialogs {

namespace {

constexpr int kSectors = 16;
constexpr int kBlocksPerSector = 4;
const char* const kNoBlock = "- None -";

} // namespace

TfrmLockersInput::TfrmLockersInput() : TfrmBase("Lockers") {
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

bool TfrmLockersInput::IsLockerBlock(int block) {
    return block != 0 && (block + 1) % kBlocksPerSector != 0;
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
    const std::size_t offered =
        block.size() == 1 ? static_cast<uint8_t>(block[0]) : block.size() / kEntrySize;
    for (int n = 0; n < kRows; ++n) {
        const bool enabled = static_cast<std::size_t>(n) < offered;
        btnLock[n].enabled = enabled;
        edLock[n].enabled = enabled;
    }
    const std::size_t count = static_cast<uint8_t>(block[0]);
    if (block.size() < kEntrySize * count + 1) {
        return false;
    }
    for (std::size_t i = 0; i < count && i < kRows; ++i) {
        const std::size_t entry = 1 + kEntrySize * i;
        std::string name = block.substr(entry + 1, kNameSize);
        name.resize(std::min(name.find('\0'), name.size()));
        if (!name.empty()) {
            edLock[i].text = std::move(name);
        }
        SetRowBlock(static_cast<int>(i), static_cast<uint8_t>(block[entry]));
    }
    return true;
}

std::string TfrmLockersInput::GetData() const {
    std::string entries;
    int offered = 0;
    uint8_t count = 0;
    for (int n = 0; n < kRows; ++n) {
        if (!btnLock[n].enabled || !edLock[n].enabled) {
            continue;
        }
        ++offered;
        if (rowBlock[n] == 0) {
            continue;
        }
        std::string name = edLock[n].text.substr(0, kNameSize);
        name.resize(kNameSize, '\0');
        entries += static_cast<char>(rowBlock[n]);
        entries += name;
        ++count;
    }
    std::string block(1, static_cast<char>(count));
    block += entries;
    block.resize(std::max(block.size(), kEntrySize * std::max(offered, kMinRows) + 1), '\0');
    return block;
}

void TfrmLockersInput::btnLockClick(int row) {
    menuRow_ = row;
    pmLockers.items.clear();
    pmLockers.items.push_back({kNoBlock, true, 0, {}});
    for (int sector = 0; sector < kSectors; ++sector) {
        TMenuItem submenu{"Sector " + std::to_string(sector), true, 0, {}};
        for (int k = 0; k < kBlocksPerSector; ++k) {
            const int number = kBlocksPerSector * sector + k;
            submenu.items.push_back(
                {"Block " + std::to_string(number), IsLockerBlock(number), number, {}});
        }
        pmLockers.items.push_back(std::move(submenu));
    }
}

void TfrmLockersInput::pmLockersChoose(const TMenuItem& item) {
    if (menuRow_ >= 0 && menuRow_ < kRows && item.enabled) {
        SetRowBlock(menuRow_, static_cast<uint8_t>(item.tag));
    }
}

std::string EditLockersList(IModalRunner& runner, const std::string& block,
                            const std::string& caption, const LockersEditHooks& hooks) {
    struct RestoreColourOnExit {
        const LockersEditHooks& hooks;
        ~RestoreColourOnExit() {
            if (hooks.restoreLlmcColour) {
                hooks.restoreLlmcColour();
            }
        }
    } restore{hooks};

    TfrmLockersInput form;
    form.caption = caption;
    form.SetData(block);
    std::string result = runner.Run(form) == mrOk ? form.GetData() : std::string();
    if (!result.empty() && hooks.addLog) {
        hooks.addLog(" data[" + eproto_bytes_to_hex(result, "") + "]");
    }
    return result;
}

} // namespace dialogs
