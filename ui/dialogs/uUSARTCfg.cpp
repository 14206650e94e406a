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
    combo = TComboBox(name);
    for (const char* entry : entries) {
        combo.Add(entry);
    }
}

void Fill(TComboBox& combo, const char* name, std::initializer_list<const char*> entries) {
    Fill(combo, name, std::span<const char* const>(entries.begin(), entries.size()));
}

uint8_t PositionByte(const TComboBox& combo) {
    return combo.ItemIndex() < 0 ? kNoSelection : static_cast<uint8_t>(combo.ItemIndex());
}

} // namespace

TfrmUSARTCfg::TfrmUSARTCfg()
    : DialogForm("USART Options"), labPlan("labPlan", "USART Plan:"),
      labBaudrate("labBaudrate", "Baudrate:"), labMode("labMode", "USART Mode:"),
      labWordLen("labWordLen", "WordLen:"), labHFC("labHFC", "Hardware Flow Control:"),
      labParity("labParity", "Parity:"), labStopBits("labStopBits", "StopBits:"),
      labDataDir("labDataDir", "Data direction:"),
      labOverSampling("labOverSampling", "Over sampling:"),
      cbSingleSample("cbSingleSample", "Single sample:"),
      cbAutoBaud("cbAutoBaud", "Auto Baudrate:"),
      labAutoBaudMode("labAutoBaudMode", "Auto Baudrate mode:") {
    gbBasic.SetCaption("  Basic  ");
    gbAdvancedParameters.SetCaption("  Advanced Parameters  ");
    gbAdvancedFeatures.SetCaption("  Advanced Features  ");
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
    edBaudrate = TEdit("edBaudrate");
    edBaudrate.SetText("edBaudrate");
    const char* const inversionCaptions[] = {"TX pin Active level inversion:",
                                             "RX pin Active level inversion:",
                                             "Data inversion:",
                                             "TX and RX pins swapping:",
                                             "Overrun:",
                                             "MSB First:"};
    for (std::size_t k = 0; k < CheckBox.size(); ++k) {
        CheckBox[k] = TCheckBox("CheckBox" + std::to_string(k + 3), inversionCaptions[k]);
    }
    btnDefaults = TButton("btnDefaults", "Defaults");
    Button1 = MakeOkButton("Button1");
}

void TfrmUSARTCfg::SetData(const std::string& block) {
    const std::optional<device::UsartBlock> decoded = device::DecodeUsartBlock(block);
    if (!decoded) {
        return;
    }
    constexpr uint8_t kTwoBits = device::kUsartTwoBitMask;
    cbPlan.SetItemIndex(decoded->Plan);
    cbMode.SetItemIndex(decoded->Mode);
    edBaudrate.SetText(std::to_string(decoded->Baud));
    cbWordLen.SetItemIndex(decoded->WordLength & kTwoBits);
    cbHFC.SetItemIndex(decoded->FlowControl & kTwoBits);
    cbParity.SetItemIndex(decoded->Parity & kTwoBits);
    cbStopBits.SetItemIndex(decoded->StopBits & kTwoBits);
    advancedParameters = decoded->AdvancedParameters;
    advancedFeatures = decoded->AdvancedFeatures;
}

std::string TfrmUSARTCfg::GetData() const {
    device::UsartBlock block;
    block.Plan = PositionByte(cbPlan);
    block.Mode = PositionByte(cbMode);
    // Rates above 65535 keep their low 16 bits.
    block.Baud =
        static_cast<uint16_t>(std::clamp(FieldToInt(edBaudrate.Text()), kMinBaud, kMaxBaud));
    block.WordLength = PositionByte(cbWordLen);
    block.FlowControl = PositionByte(cbHFC);
    block.Parity = PositionByte(cbParity);
    block.StopBits = PositionByte(cbStopBits);
    block.AdvancedParameters = advancedParameters;
    block.AdvancedFeatures = advancedFeatures;
    return device::EncodeUsartBlock(block);
}

void TfrmUSARTCfg::btnDefaultsClick() {
    cbPlan.SetItemIndex(0); // "NONE"
    cbMode.SetItemIndex(0); // "ASYNC:  Async mode"
    edBaudrate.SetText("9600");
    cbWordLen.SetItemIndex(1);  // "8 bits (Including parity)"
    cbHFC.SetItemIndex(0);      // "NONE"
    cbParity.SetItemIndex(0);   // "NONE"
    cbStopBits.SetItemIndex(0); // "1"
    advancedParameters = 0;
    advancedFeatures = 0;
}

std::string EditUSARTConfig(IModalRunner& runner, const std::string& block,
                            const std::string& caption) {
    return EditRecordIfChanged<TfrmUSARTCfg>(runner, block, caption);
}

} // namespace velkor::dialogs
