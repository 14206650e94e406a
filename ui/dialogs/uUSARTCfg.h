// The USART configuration dialog and its 12-byte block: plan, mode, baud rate
// (16-bit LE), word length, flow control, parity, stop bits (list positions,
// 255 for no selection), then two 16-bit LE words carried through unchanged.
#pragma once

#include "device/SettingsRecords.h"
#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"
#include "ui/dialogs/uCombo.h"

#include <array>
#include <cstdint>
#include <string>

namespace velkor::dialogs {

class TfrmUSARTCfg : public DialogForm {
public:
    static constexpr std::size_t kBlockSize = device::UsartBlock::kSize;
    static constexpr int32_t kMinBaud = 50;
    static constexpr int32_t kMaxBaud = 115200;

    TfrmUSARTCfg();

    TGroupBox gbBasic;
    TLabel labPlan;
    TComboBox cbPlan;
    TLabel labBaudrate;
    TEdit edBaudrate;
    TLabel labMode;
    TComboBox cbMode;
    TLabel labWordLen;
    TComboBox cbWordLen;
    TLabel labHFC;
    TComboBox cbHFC;
    TLabel labParity;
    TComboBox cbParity;
    TLabel labStopBits;
    TComboBox cbStopBits;

    TGroupBox gbAdvancedParameters;
    TLabel labDataDir;
    TComboBox cbDataDir;
    TLabel labOverSampling;
    TComboBox cbOverSampling;
    TCheckBox cbSingleSample;

    TGroupBox gbAdvancedFeatures;
    TCheckBox cbAutoBaud;
    TLabel labAutoBaudMode;
    TComboBox cbAutoBaudMode;
    std::array<TCheckBox, 6> CheckBox; // CheckBox3..CheckBox8

    TButton btnDefaults;
    TButton Button1; // "Ok" (default, modal result 1)

    // The two words at offsets 8 and 10, kept between SetData and GetData.
    uint16_t advancedParameters = 0;
    uint16_t advancedFeatures = 0;

    // A block shorter than 12 bytes loads nothing.
    void SetData(const std::string& block);
    // Always 12 bytes.
    std::string GetData() const;

    void btnDefaultsClick();
};

} // namespace velkor::dialogs
