#include "ui/dialogs/uUSARTCfg.h"

#include "device/SettingsRecords.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"
#include "ui/dialogs/NumberText.h"

#include <algorithm>
#include <initializer_list>

namespace velkor::dialogs {

namespace {

constexpr uint8_t kNoSelection = 255;

void Fill(TComboBox& combo, const char* name, std::span<const char* const> entries) {
    combo.name = name;
    combo.Clear();
    for (const char* entry : entries) {
        combo.Add(entry);
    }
}

void Fill(TComboBox& combo, const char* name, std::initializer_list<const char*> entries) {
    Fill(combo, name, std::span<const char* const>(entries.begin(), entries.size()));
}

uint8_t PositionByte(const TComboBox& combo) {
    return combo.itemIndex < 0 ? kNoSelection : static_cast<uint8_t>(combo.itemIndex);
}

} // namespace

TfrmUSARTCfg::TfrmUSARTCfg()
    : DialogForm("USART Options"), labPlan(MakeLabel("labPlan", "USART Plan:")),
      labBaudrate(MakeLabel("labBaudrate", "Baudrate:")),
      labMode(MakeLabel("labMode", "USART Mode:")), labWordLen(MakeLabel("labWordLen", "WordLen:")),
      labHFC(MakeLabel("labHFC", "Hardware Flow Control:")),
      labParity(MakeLabel("labParity", "Parity:")),
      labStopBits(MakeLabel("labStopBits", "StopBits:")),
      labDataDir(MakeLabel("labDataDir", "Data direction:")),
      labOverSampling(MakeLabel("labOverSampling", "Over sampling:")),
      cbSingleSample(MakeCheckBox("cbSingleSample", "Single sample:")),
      cbAutoBaud(MakeCheckBox("cbAutoBaud", "Auto Baudrate:")),
      labAutoBaudMode(MakeLabel("labAutoBaudMode", "Auto Baudrate mode:")) {
    gbBasic.caption = "  Basic  ";
    gbAdvancedParameters.caption = "  Advanced Parameters  ";
    gbAdvancedFeatures.caption = "  Advanced Features  ";
    Fill(cbPlan, "cbPlan", device::UsartPlanNames());
    Fill(cbMode, "cbMode", device::UsartModeNames());
    Fill(cbWordLen, "cbWordLen", device::UsartWordLengthNames());
    Fill(cbHFC, "cbHFC", device::UsartFlowControlNames());
    Fill(cbParity, "cbParity", device::UsartParityNames());
    Fill(cbStopBits, "cbStopBits", device::UsartStopBitsNames());
    Fill(cbDataDir, "cbDataDir", {"Receive and Transmit", "Receive", "Transmit"});
    Fill(cbOverSampling, "cbOverSampling", {"16 Samples", "8 Samples"});
    Fill(cbAutoBaudMode, "cbAutoBaudMode",
         {"ON START BIT", "ON FALLING EDGE", "ON 0x7F FRAME", "ON 0x55 FRAME"});
    edBaudrate.name = "edBaudrate";
    edBaudrate.text = "edBaudrate";
    const char* const inversionCaptions[] = {"TX pin Active level inversion:",
                                             "RX pin Active level inversion:",
                                             "Data inversion:",
                                             "TX and RX pins swapping:",
                                             "Overrun:",
                                             "MSB First:"};
    for (std::size_t k = 0; k < CheckBox.size(); ++k) {
        CheckBox[k] = MakeCheckBox("CheckBox" + std::to_string(k + 3), inversionCaptions[k]);
    }
    btnDefaults.name = "btnDefaults";
    btnDefaults.caption = "Defaults";
    Button1 = MakeOkButton("Button1");
}

void TfrmUSARTCfg::SetData(const std::string& block) {
    const std::optional<device::UsartBlock> decoded = device::DecodeUsartBlock(block);
    if (!decoded) {
        return;
    }
    constexpr uint8_t kTwoBits = device::kUsartTwoBitMask;
    cbPlan.SelectPosition(decoded->Plan);
    cbMode.SelectPosition(decoded->Mode);
    edBaudrate.text = std::to_string(decoded->Baud);
    cbWordLen.SelectPosition(decoded->WordLength & kTwoBits);
    cbHFC.SelectPosition(decoded->FlowControl & kTwoBits);
    cbParity.SelectPosition(decoded->Parity & kTwoBits);
    cbStopBits.SelectPosition(decoded->StopBits & kTwoBits);
    advancedParameters = decoded->AdvancedParameters;
    advancedFeatures = decoded->AdvancedFeatures;
}

std::string TfrmUSARTCfg::GetData() const {
    device::UsartBlock block;
    block.Plan = PositionByte(cbPlan);
    block.Mode = PositionByte(cbMode);
    // Rates above 65535 keep their low 16 bits.
    block.Baud = static_cast<uint16_t>(std::clamp(FieldToInt(edBaudrate.text), kMinBaud, kMaxBaud));
    block.WordLength = PositionByte(cbWordLen);
    block.FlowControl = PositionByte(cbHFC);
    block.Parity = PositionByte(cbParity);
    block.StopBits = PositionByte(cbStopBits);
    block.AdvancedParameters = advancedParameters;
    block.AdvancedFeatures = advancedFeatures;
    return device::EncodeUsartBlock(block);
}

void TfrmUSARTCfg::btnDefaultsClick() {
    cbPlan.SelectPosition(0); // "NONE"
    cbMode.SelectPosition(0); // "ASYNC:  Async mode"
    edBaudrate.text = "9600";
    cbWordLen.SelectPosition(1);  // "8 bits (Including parity)"
    cbHFC.SelectPosition(0);      // "NONE"
    cbParity.SelectPosition(0);   // "NONE"
    cbStopBits.SelectPosition(0); // "1"
    advancedParameters = 0;
    advancedFeatures = 0;
}

std::string EditUSARTConfig(IModalRunner& runner, const std::string& block,
                            const std::string& caption) {
    return EditRecordIfChanged<TfrmUSARTCfg>(runner, block, caption);
}

} // namespace velkor::dialogs
