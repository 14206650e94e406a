#include "ScriptedRunner.h"

#include "ui/dialogs/EditOperations.h"

namespace velkor::dialogs::testing {
namespace {

const std::string kBlock = Bytes("02 00 80 25 01 00 00 00 34 12 78 56");

TEST(USARTCfg, BlockShowsAndUnchangedOkReturnsNothing) {
    TfrmUSARTCfg form;
    form.SetData(kBlock);
    EXPECT_EQ(form.cbPlan.Text(), "MTERM:  Master terminal");
    EXPECT_EQ(form.cbMode.Text(), "ASYNC:  Async mode");
    EXPECT_EQ(form.edBaudrate.Text(), "9600");
    EXPECT_EQ(form.cbWordLen.Text(), "8 bits (Including parity)");
    EXPECT_EQ(form.cbHFC.Text(), "NONE");
    EXPECT_EQ(form.cbParity.Text(), "NONE");
    EXPECT_EQ(form.cbStopBits.Text(), "1");
    EXPECT_EQ(form.GetData(), kBlock);

    ScriptedRunner runner;
    runner.Ok();
    EXPECT_EQ(EditUSARTConfig(runner, kBlock, "USART Flags"), "");
    EXPECT_EQ(runner.runs, 1);
}

TEST(USARTCfg, DefaultsResetTheBasicsAndTheKeptWords) {
    ScriptedRunner runner;
    runner.Then<TfrmUSARTCfg>([](TfrmUSARTCfg& form) {
        form.cbDataDir.SetItemIndex(2);
        form.btnDefaultsClick();
        EXPECT_EQ(form.cbDataDir.ItemIndex(), 2);
        return mrOk;
    });
    EXPECT_EQ(EditUSARTConfig(runner, kBlock, "USART Flags"),
              Bytes("00 00 80 25 01 00 00 00 00 00 00 00"));
}

TEST(USARTCfg, OutOfRangeListBytesAreWrittenAs255) {
    TfrmUSARTCfg form;
    form.SetData(Bytes("09 08 80 25 05 07 02 03 00 00 00 00"));
    EXPECT_EQ(form.cbPlan.ItemIndex(), -1);
    EXPECT_EQ(form.cbMode.Text(), "MODBUS: MODBUS mode");
    EXPECT_EQ(form.cbWordLen.Text(), "8 bits (Including parity)"); // 0x05: low 2 bits 1
    EXPECT_EQ(form.cbHFC.Text(), "CTS/RTS");                       // 0x07: low 2 bits 3
    EXPECT_EQ(form.cbParity.Text(), "ODD");
    EXPECT_EQ(form.cbStopBits.Text(), "1.5");
    EXPECT_EQ(form.GetData(), Bytes("FF 08 80 25 01 03 02 03 00 00 00 00"));

    form.SetData(Bytes("00 00 80 25 03 00 00 00 00 00 00 00"));
    EXPECT_EQ(form.GetData()[4], '\xFF');
}

TEST(USARTCfg, BaudRateIsClampedAndKeepsItsLow16Bits) {
    TfrmUSARTCfg form;
    form.SetData(kBlock);
    for (const auto& [text, bytes] : {std::pair{"10", "3200"},
                                      {"fast", "3200"},
                                      {"", "3200"},
                                      {" 19200 ", "004B"},
                                      {"115200", "00C2"},
                                      {"250000", "00C2"},
                                      {"-5", "3200"}}) {
        form.edBaudrate.SetText(text);
        EXPECT_EQ(form.GetData().substr(2, 2), Bytes(bytes)) << text;
    }
}

TEST(USARTCfg, ShortLongAndEmptyBlocks) {
    TfrmUSARTCfg form;
    form.SetData(kBlock.substr(0, 11));
    EXPECT_EQ(form.edBaudrate.Text(), "edBaudrate");
    EXPECT_EQ(form.cbPlan.ItemIndex(), -1);

    ScriptedRunner runner;
    runner.Ok();
    EXPECT_EQ(EditUSARTConfig(runner, kBlock + "\x01", "USART Flags"), kBlock);
    EXPECT_EQ(EditUSARTConfig(runner, "", "USART Flags"), "");
    EXPECT_EQ(runner.runs, 1);

    runner.Then<TfrmUSARTCfg>([](TfrmUSARTCfg& edited) {
        edited.edBaudrate.SetText("4800");
        return mrCancel;
    });
    EXPECT_EQ(EditUSARTConfig(runner, kBlock, "USART Flags"), "");
}

} // namespace
} // namespace velkor::dialogs::testing
