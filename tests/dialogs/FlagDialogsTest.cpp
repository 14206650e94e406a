#include "ScriptedRunner.h"

#include "ui/dialogs/EditOperations.h"

namespace velkor::dialogs::testing {
namespace {

TEST(OptoFlags, BitsMapToTheirBoxes) {
    TfrmOptoFlagsInput form;
    form.SetData(0x91);
    EXPECT_TRUE(form.cbUseOpto[0].Checked());
    EXPECT_TRUE(form.cbOptoEdge[0].Checked());
    EXPECT_TRUE(form.cbUseOpto[3].Checked());
    EXPECT_FALSE(form.cbUseOpto[1].Checked() || form.cbUseOpto[2].Checked() ||
                 form.cbOptoEdge[1].Checked() || form.cbOptoEdge[3].Checked());
    EXPECT_EQ(form.cbOptoEdge[2].Name(), "cbOpto3Edge");

    ScriptedRunner runner;
    runner.Ok().Then<TfrmOptoFlagsInput>([](TfrmOptoFlagsInput& edited) {
        edited.cbOptoEdge[2].SetChecked(true);
        return mrOk;
    });
    EXPECT_EQ(EditOptoFlags(runner, std::string("\x91\x00", 2), "Relay Open Flags"), "");
    EXPECT_EQ(EditOptoFlags(runner, std::string("\x91"), "Relay Open Flags"), "\x95");
    EXPECT_EQ(EditOptoFlags(runner, std::string(), "Relay Open Flags"), "");
    EXPECT_EQ(runner.runs, 2);
}

TEST(DebugFlags, UnshownBitsAreCleared) {
    TfrmDebugFlagsInput form;
    form.SetData(0x3E);
    EXPECT_FALSE(form.cbDisplayOptoStatus.Checked() || form.cbSSD1309.Checked() ||
                 form.cbNoSplash.Checked());
    form.SetData(0xC1);
    EXPECT_TRUE(form.cbDisplayOptoStatus.Checked() && form.cbSSD1309.Checked() &&
                form.cbNoSplash.Checked());

    ScriptedRunner runner;
    runner.Ok().Then<TfrmDebugFlagsInput>([](TfrmDebugFlagsInput& edited) {
        edited.cbNoSplash.SetChecked(true);
        return mrCancel;
    });
    EXPECT_EQ(EditDebugFlags(runner, std::string("\x3E"), "Debug Flags"), std::string(1, '\0'));
    EXPECT_EQ(EditDebugFlags(runner, std::string("\x3E"), "Debug Flags"), "");
}

TEST(AuthFlags, TwoByteValueShowsEveryField) {
    TfrmAuthFlagsInput form;
    form.SetData(Bytes("1F 25"));
    EXPECT_TRUE(form.cbnlaAll.Checked() && form.cbnlaAuth.Checked() && form.cbnlaUnauth.Checked() &&
                form.cbnlaNoFinger.Checked() && form.cbnlaNetFastReact.Checked());
    EXPECT_FALSE(form.cbnlaCTReject.Checked() || form.cbnlaUIDUnlock.Checked() ||
                 form.cbnlaNCAuthSet.Checked());
    EXPECT_EQ(form.cbReaderLock.Text(), "RELAY:      Lock only on Relay open");
    EXPECT_EQ(form.cbABlock.ItemIndex(), 9);
    EXPECT_TRUE(form.cbABlock.Enabled() && form.labReaderLock.Enabled());

    form.cbnlaUIDUnlock.SetChecked(true);
    form.cbReaderLock.SetItemIndex(3);
    form.cbABlock.SetItemIndex(62);
    EXPECT_EQ(form.GetData(), Bytes("5F FB"));

    ScriptedRunner runner;
    runner.Ok();
    EXPECT_EQ(EditAuthFlags(runner, Bytes("1F 25"), "Auth Flags"), "");
}

TEST(AuthFlags, OneByteValueDisablesTheWideFields) {
    TfrmAuthFlagsInput form;
    form.SetData(Bytes("FF"));
    EXPECT_TRUE(form.cbnlaAll.Checked() && form.cbnlaNetFastReact.Checked());
    EXPECT_FALSE(form.cbnlaCTReject.Checked());
    for (const TControl* control : std::initializer_list<const TControl*>{
             &form.cbnlaCTReject, &form.cbnlaUIDUnlock, &form.cbnlaNCAuthSet, &form.labReaderLock,
             &form.cbReaderLock, &form.labABlock, &form.cbABlock}) {
        EXPECT_FALSE(control->Enabled()) << control->Name();
    }
    EXPECT_EQ(form.cbReaderLock.Text(), "NONE");
    EXPECT_EQ(form.cbABlock.Text(), "NONE");

    ScriptedRunner runner;
    runner.Ok();
    EXPECT_EQ(EditAuthFlags(runner, Bytes("FF"), "Auth Flags"), Bytes("1F"));
}

TEST(AuthFlags, LongValuesKeepFourBytesAndLoseHighBits) {
    ScriptedRunner runner;
    runner.Ok().Ok().Cancel();
    EXPECT_EQ(EditAuthFlags(runner, Bytes("CF 03 00 00 99"), "Auth Flags"), Bytes("CF 03 00 00"));
    EXPECT_EQ(EditAuthFlags(runner, Bytes("CF 03 77"), "Auth Flags"), Bytes("CF 03 00"));
    EXPECT_EQ(EditAuthFlags(runner, Bytes("CF 03 77"), "Auth Flags"), "");
    EXPECT_EQ(EditAuthFlags(runner, "", "Auth Flags"), "");
    EXPECT_EQ(runner.runs, 3);
}

TEST(AuthFlags, BlockListMarksSectorTrailers) {
    TfrmAuthFlagsInput form;
    form.SetData(Bytes("00 00"));
    ASSERT_EQ(form.cbABlock.Items().size(), 64u);
    EXPECT_TRUE(form.cbABlock.IsBlockList());
    EXPECT_EQ(form.cbABlock.Items()[1].text, "1");
    for (int block = 0; block < 64; ++block) {
        EXPECT_EQ(form.cbABlock.IsSelectable(block), (block + 1) % 4 != 0) << block;
    }
    // Its tag is 1, so a trailer picked with the mouse is accepted.
    form.cbABlock.DropDown();
    form.cbABlock.SetItemIndex(7);
    EXPECT_FALSE(form.cbABlock.CloseUp());
    EXPECT_EQ(form.GetData(), Bytes("00 1C"));
}

} // namespace
} // namespace velkor::dialogs::testing
