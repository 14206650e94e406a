// The lockers list dialog and block: a count byte N, then N entries of 16
// bytes (block number, then a 15-byte name padded with zero bytes), the whole
// padded with zero bytes to 16 x rows + 1 bytes, never under 81.
#pragma once

#include "device/SettingsRecords.h"
#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <array>
#include <cstdint>
#include <string>

namespace velkor::dialogs {

class TfrmLockersInput : public DialogForm {
public:
    static constexpr int kRows = 6;
    static constexpr std::size_t kNameSize = device::kLockerNameSize;
    static constexpr int kMinRows = 5;

    TfrmLockersInput();

    std::array<TButton, kRows> btnLock;    // row n's block selector, tag n
    std::array<TEdit, kRows> edLock;       // row n's name
    std::array<uint8_t, kRows> rowBlock{}; // row n's block number, 0 = none
    TPopupMenu pmLockers;
    TButton Button1; // "Ok" (default, modal result 1)
    TButton Button2; // "Cancel" (modal result 2)

    // Returns true when the entries were loaded.
    bool SetData(const std::string& block);
    std::string GetData() const;

    // Click on btnLock<row>: remembers the row and rebuilds pmLockers, which
    // the view then opens at the button's bottom-left corner.
    void btnLockClick(int row);
    // A pmLockers item was chosen: the remembered row takes its block number.
    void pmLockersChoose(const TMenuItem& item);

    void SetRowBlock(int row, uint8_t block);

private:
    int menuRow_ = -1;
};

} // namespace velkor::dialogs
