#include "ui/dialogs/USectorKeys.h"

#include "device/SettingsRecords.h"
#include "protocol/eproto.h"

#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"
#include "ui/dialogs/NumberText.h"
#include <algorithm>

#include <cctype>

namespace velkor::dialogs {

namespace {

constexpr std::size_t kKeySize = device::SectorKeys::kKeySize;
constexpr std::size_t kKeyDigits = 2 * kKeySize;

bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string HexDigitsOf(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (IsHexDigit(c)) {
            digits += c;
        }
    }
    return digits;
}

} // namespace

std::string NormalizeKeyText(std::string_view text) {
    std::string digits = HexDigitsOf(text);
    if (digits.size() < kKeyDigits) {
        digits.insert(0, kKeyDigits - digits.size(), 'F');
    }
    return digits;
}

TfrmSectorKeys::TfrmSectorKeys() : DialogForm("Sector Keys") {
    for (int n = 0; n < kSectors; ++n) {
        rowLabels[n] = TLabel("Label" + std::to_string(n + 1), "Sector " + std::to_string(n) + ":");
        cbKeyB[n] = TCheckBox("cbKeyB" + std::to_string(n));
        edPassword[n] = TEdit("edPassword" + std::to_string(n));
        edPassword[n].SetMaxLength(static_cast<int>(kKeyDigits));
    }
    Label17 = TLabel("Label17", "Key B");
    btnOk = MakeOkButton();
    btnCancel = MakeCancelButton();
}

void TfrmSectorKeys::SetData(const std::string& block) {
    const std::optional<device::SectorKeys> keys = device::DecodeSectorKeys(block);
    if (!keys) {
        return;
    }
    for (int n = 0; n < kSectors; ++n) {
        edPassword[n].SetText(eproto_bytes_to_hex(keys->Keys[n].data(), kKeySize, ""));
        cbKeyB[n].SetChecked((keys->KeyBMask >> n & 1) != 0);
    }
}

std::string TfrmSectorKeys::GetData() const {
    device::SectorKeys keys;
    for (int n = 0; n < kSectors; ++n) {
        const std::string key =
            eproto_hex_to_bytes(NormalizeKeyText(edPassword[n].Text()), kKeyDigits);
        std::copy_n(key.begin(), std::min(key.size(), kKeySize), keys.Keys[n].begin());
        if (cbKeyB[n].Checked()) {
            keys.KeyBMask = static_cast<uint16_t>(keys.KeyBMask | 1u << n);
        }
    }
    return device::EncodeSectorKeys(keys);
}

char TfrmSectorKeys::edPasswordKeyPress(char key) {
    if (static_cast<unsigned char>(key) < ' ') {
        return key;
    }
    if (!IsHexDigit(key)) {
        return '\0';
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
}

void TfrmSectorKeys::edPasswordChange(int sector) {
    TEdit& edit = edPassword.at(sector);
    std::string digits = HexDigitsOf(edit.Text());
    if (digits != edit.Text()) {
        edit.SetText(std::move(digits));
    }
}

void TfrmSectorKeys::edPasswordExit(int sector) {
    TEdit& edit = edPassword.at(sector);
    edit.SetText(NormalizeKeyText(edit.Text()));
}

std::string EditSectorKeys(IModalRunner& runner, const std::string& block,
                           const std::string& caption) {
    std::string result = EditRecord<TfrmSectorKeys>(runner, block, caption);
    return result.size() >= TfrmSectorKeys::kKeysSize ? result : std::string();
}

} // namespace velkor::dialogs
