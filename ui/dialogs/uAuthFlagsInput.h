// The authorisation flags dialog: a little-endian value of L = min(length, 4)
// bytes. Bits 0-4 are always shown; bits 5-7, the reader lock (bits 8-9) and
// the authorisation block (bits 10-15) only when L >= 2. Bits 16 and above are
// written as 0.
#pragma once

#include "device/SettingsRecords.h"
#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"
#include "ui/dialogs/uCombo.h"

#include <array>
#include <cstddef>
#include <string>

namespace velkor::dialogs {

class TfrmAuthFlagsInput : public DialogForm {
public:
    static constexpr std::size_t kMaxLength = device::AuthFlags::kMaxLength;
    static constexpr int kBlocks = 64;

    TfrmAuthFlagsInput();

    TCheckBox cbnlaAll;          // bit 0
    TCheckBox cbnlaAuth;         // bit 1
    TCheckBox cbnlaUnauth;       // bit 2
    TCheckBox cbnlaNoFinger;     // bit 3
    TCheckBox cbnlaNetFastReact; // bit 4
    TCheckBox cbnlaCTReject;     // bit 5
    TCheckBox cbnlaUIDUnlock;    // bit 6
    TCheckBox cbnlaNCAuthSet;    // bit 7
    TLabel labReaderLock;
    TComboBox cbReaderLock; // bits 8-9
    TLabel labABlock;
    TComboBox cbABlock; // bits 10-15: the block list, entries "NONE", "1".."63"
    TButton Button1;    // "Ok" (default, modal result 1)

    void SetData(const std::string& value);
    // L bytes, L fixed by the last SetData.
    std::string GetData() const;

private:
    void EnableWideControls(bool enabled);

    std::size_t length_ = 0;
};

} // namespace velkor::dialogs
