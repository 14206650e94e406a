// The sector keys dialog and block: 16 keys of 6 bytes (sector 0 first), then
// the 16-bit little-endian key-B mask (bit n: sector n uses its key as key B).
#pragma once

#include "device/SettingsRecords.h"
#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <array>
#include <string>
#include <string_view>

namespace velkor::dialogs {

// Keeps only the hexadecimal digits, in order, and puts "F" digits in front
// until there are 12; longer results are not cut.
std::string NormalizeKeyText(std::string_view text);

class TfrmSectorKeys : public DialogForm {
public:
    static constexpr int kSectors = device::SectorKeys::kSectors;
    static constexpr std::size_t kBlockSize = device::SectorKeys::kSize;
    static constexpr std::size_t kKeysSize = device::SectorKeys::kKeysSize;

    TfrmSectorKeys();

    std::array<TLabel, kSectors> rowLabels; // Label1..Label16: "Sector 0:".."Sector 15:"
    TLabel Label17;                         // "Key B" column title
    std::array<TCheckBox, kSectors> cbKeyB;
    std::array<TEdit, kSectors> edPassword;
    TButton btnOk;
    TButton btnCancel;

    // A block shorter than 96 bytes loads nothing; the mask needs 98 bytes.
    void SetData(const std::string& block);
    // Always 98 bytes.
    std::string GetData() const;

    // Typing a character into a key field: returns the character to insert,
    // or '\0' when it is swallowed.
    static char edPasswordKeyPress(char key);
    // Any change of key field `sector` (typing or pasting).
    void edPasswordChange(int sector);
    // Leaving key field `sector`.
    void edPasswordExit(int sector);
};

} // namespace velkor::dialogs
