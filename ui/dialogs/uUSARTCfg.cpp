#include "ui/dialogs/uUSARTCfg.h"

#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"
#include "ui/dialogs/NumberText.h"

#include <algorithm>
#include <initializer_list>

namespace dialogs {

namespace {

constexpr uint8_t kNoSelection = 255;
constexpr uint8_t kTwoBits = 0x03;

void Fill(TComboBox& combo, const char* name, std::initializer_list<const char*> entries) {
    combo.name = name;
    combo.Clear();
    for (const char* entry : entries) {
        combo.Add(entry);
    }
}

uint8_t PositionByte(const TComboBox& combo) {
    return combo.itemIndex < 0 ? kNoSelection : static_cast<uint8_t>(combo.itemIndex);
}

} // namespace

TfrmUSARTCfg::TfrmUSARTCfg()
    : TfrmBase("USART Options"), labPlan(MakeLabel("labPlan", "USART Plan:")),
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
    Fill(cbPlan, "cbPlan",
         {"NONE", "PASS:   Passthru mode", "MTERM:  Master terminal", "STERM:  Slave terminal",
          "GATE:   Gate terminal"});
    Fill(cbMode, "cbMode",
         {"ASYNC:  Async mode", "SYNC:   Sync mode", "SW:     Single wire(Half Duplex)",
          "MPC:    Multiprocessor communication", "IRDA:   IRDA mode", "LIN:    LIN bus mode",
          "SC:     Smart Card", "SCC:    Smart Card with CardClock", "MODBUS: MODBUS mode"});
    Fill(cbWordLen, "cbWordLen",
         {"7 bits (Including parity)", "8 bits (Including parity)", "9 bits (Including parity)"});
    Fill(cbHFC, "cbHFC", {"NONE", "CTS Only", "RTS Only", "CTS/RTS"});
    Fill(cbParity, "cbParity", {"NONE", "EVEN", "ODD"});
    Fill(cbStopBits, "cbStopBits", {"1", "0.5", "2", "1.5"});
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
    if (block.size() < kBlockSize) {
        return;
    }
    const auto byteAt = [&block](std::size_t offset) {
        return static_cast<uint8_t>(block[offset]);
    };
    cbPlan.SelectPosition(byteAt(0));
    cbMode.SelectPosition(byteAt(1));
    edBaudrate.text = std::to_string(ReadLe(block, 2, 2));
    cbWordLen.SelectPosition(byteAt(4) & kTwoBits);
    cbHFC.SelectPosition(byteAt(5) & kTwoBits);
    cbParity.SelectPosition(byteAt(6) & kTwoBits);
    cbStopBits.SelectPosition(byteAt(7) & kTwoBits);
    advancedParameters = static_cast<uint16_t>(ReadLe(block, 8, 2));
    advancedFeatures = static_cast<uint16_t>(ReadLe(block, 10, 2));
}

std::string TfrmUSARTCfg::GetData() const {
    std::string block;
    block += static_cast<char>(PositionByte(cbPlan));
    block += static_cast<char>(PositionByte(cbMode));
    const int32_t baud = std::clamp(FieldToInt(edBaudrate.text), kMinBaud, kMaxBaud);
    AppendLe(block, static_cast<uint32_t>(baud), 2);
    for (const TComboBox* combo : {&cbWordLen, &cbHFC, &cbParity, &cbStopBits}) {
        block += static_cast<char>(PositionByte(*combo));
    }
    AppendLe(block, advancedParameters, 2);
    AppendLe(block, advancedFeatures, 2);
    return block;
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

} // namespace dialogs
