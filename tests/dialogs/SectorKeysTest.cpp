#include "ScriptedRunner.h"

#include "ui/dialogs/EditOperations.h"

namespace velkor::dialogs::testing {
namespace {

std::string KeysBlock(std::size_t size) {
    std::string block;
    for (std::size_t n = 0; n < size; ++n) {
        block += static_cast<char>(n * 7 + 1);
    }
    return block;
}

TEST(SectorKeys, MaskChecksKeyBBoxes) {
    std::string block = KeysBlock(96) + Bytes("05 80");
    TfrmSectorKeys form;
    form.SetData(block);
    for (int n = 0; n < TfrmSectorKeys::kSectors; ++n) {
        EXPECT_EQ(form.cbKeyB[n].Checked(), n == 0 || n == 2 || n == 15) << n;
    }
    EXPECT_EQ(form.edPassword[0].Text(), "01080F161D24");
    EXPECT_EQ(form.rowLabels[15].Caption(), "Sector 15:");
}

TEST(SectorKeys, LoadAndReturnKeepsFirst98Bytes) {
    const std::string block = KeysBlock(110);
    ScriptedRunner runner;
    runner.Ok();
    EXPECT_EQ(EditSectorKeys(runner, block, "Sector Keys"), block.substr(0, 98));

    TfrmSectorKeys form;
    form.SetData(KeysBlock(96));
    EXPECT_EQ(form.GetData(), KeysBlock(96) + Bytes("0000"));
}

TEST(SectorKeys, ShortBlockLoadsNothingAndGivesAllBitsSetKeys) {
    TfrmSectorKeys form;
    form.SetData(KeysBlock(95));
    EXPECT_EQ(form.edPassword[3].Text(), "");
    EXPECT_EQ(form.GetData(), std::string(96, '\xFF') + Bytes("0000"));
}

TEST(SectorKeys, TypingPastingAndLeavingAKeyField) {
    EXPECT_EQ(TfrmSectorKeys::edPasswordKeyPress('a'), 'A');
    EXPECT_EQ(TfrmSectorKeys::edPasswordKeyPress('7'), '7');
    EXPECT_EQ(TfrmSectorKeys::edPasswordKeyPress('g'), '\0');
    EXPECT_EQ(TfrmSectorKeys::edPasswordKeyPress('-'), '\0');
    EXPECT_EQ(TfrmSectorKeys::edPasswordKeyPress(' '), '\0');
    EXPECT_EQ(TfrmSectorKeys::edPasswordKeyPress('\b'), '\b');
    EXPECT_EQ(TfrmSectorKeys::edPasswordKeyPress('\xE0'), '\0');

    TfrmSectorKeys form;
    form.edPassword[4].SetText("a0:b1:zz:c2");
    form.edPasswordChange(4);
    EXPECT_EQ(form.edPassword[4].Text(), "a0b1c2");
    form.edPasswordExit(4);
    EXPECT_EQ(form.edPassword[4].Text(), "FFFFFFa0b1c2");
    const std::string block = form.GetData();
    EXPECT_EQ(block.substr(24, 6), Bytes("FF FF FF A0 B1 C2"));
}

TEST(SectorKeys, NormalizeKeyText) {
    EXPECT_EQ(NormalizeKeyText(""), "FFFFFFFFFFFF");
    EXPECT_EQ(NormalizeKeyText("12-ab"), "FFFFFFFF12ab");
    EXPECT_EQ(NormalizeKeyText("0123456789ABCDEF"), "0123456789ABCDEF");
}

TEST(SectorKeys, CancelReturnsNothing) {
    ScriptedRunner runner;
    runner.Cancel();
    EXPECT_EQ(EditSectorKeys(runner, KeysBlock(98), "Sector Keys"), "");
}

} // namespace
} // namespace velkor::dialogs::testing
