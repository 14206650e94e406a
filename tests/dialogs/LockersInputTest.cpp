#include "ScriptedRunner.h"

#include "ui/dialogs/EditOperations.h"

namespace velkor::dialogs::testing {
namespace {

std::string Entry(uint8_t block, std::string name) {
    name.resize(TfrmLockersInput::kNameSize, '\0');
    name.insert(name.begin(), static_cast<char>(block));
    return name;
}

std::string TwoLockers(std::size_t size) {
    std::string block(1, '\x02');
    block.append(Entry(5, "Locker A")).append(Entry(9, "Box 2"));
    block.resize(size, '\0');
    return block;
}

TEST(LockersInput, LoadsRowsAndReturnsTheSameBlock) {
    TfrmLockersInput form;
    EXPECT_TRUE(form.SetData(TwoLockers(97)));
    EXPECT_EQ(form.btnLock[0].Caption(), "Block 5");
    EXPECT_EQ(form.btnLock[1].Caption(), "Block 9");
    EXPECT_TRUE(form.btnLock[0].Bold() && form.edLock[1].Bold());
    EXPECT_EQ(form.edLock[0].Text(), "Locker A");
    for (int row = 2; row < TfrmLockersInput::kRows; ++row) {
        EXPECT_EQ(form.btnLock[row].Caption(), "- None -");
        EXPECT_FALSE(form.btnLock[row].Bold());
        EXPECT_TRUE(form.edLock[row].Enabled());
    }

    ScriptedRunner runner;
    runner.Ok();
    EXPECT_EQ(EditLockersList(runner, TwoLockers(97), "Lockers list data"), TwoLockers(97));
    EXPECT_EQ(runner.lastCaption, "Lockers list data");
}

TEST(LockersInput, RowMovesPackEntriesWithoutGaps) {
    TfrmLockersInput form;
    form.SetData(TwoLockers(97));
    form.btnLockClick(0);
    form.pmLockersChoose(form.pmLockers.Items()[0]); // "- None -"
    form.btnLockClick(3);
    form.pmLockersChoose(form.pmLockers.Items()[1 + 3].Items[1]); // sector 3, block 13
    form.edLock[3].SetText("A name longer than fifteen");
    EXPECT_EQ(form.btnLock[3].Caption(), "Block 13");
    EXPECT_EQ(form.btnLock[0].Caption(), "- None -");
    EXPECT_EQ(form.edLock[0].Text(), "Locker A");

    std::string expected(1, '\x02');
    expected.append(Entry(9, "Box 2")).append(Entry(13, "A name longer t"));
    expected.resize(97, '\0');
    EXPECT_EQ(form.GetData(), expected);
}

TEST(LockersInput, BlockLengthDecidesTheRowsOffered) {
    TfrmLockersInput form;
    form.SetData(TwoLockers(81));
    EXPECT_TRUE(form.btnLock[4].Enabled());
    EXPECT_FALSE(form.btnLock[5].Enabled() || form.edLock[5].Enabled());
    EXPECT_EQ(form.GetData(), TwoLockers(81));

    EXPECT_FALSE(form.SetData(std::string(1, '\x03')));
    EXPECT_TRUE(form.btnLock[2].Enabled());
    EXPECT_FALSE(form.btnLock[3].Enabled());
    EXPECT_EQ(form.btnLock[0].Caption(), "- None -");
    EXPECT_EQ(form.GetData(), std::string(81, '\0'));

    // A count promising more entries than the block holds loads none.
    EXPECT_FALSE(form.SetData("\x07" + std::string(96, '\0')));
    EXPECT_TRUE(form.btnLock[5].Enabled());
}

TEST(LockersInput, PopupOffersOnlyLockerBlocks) {
    TfrmLockersInput form;
    form.btnLockClick(2);
    const auto& items = form.pmLockers.Items();
    ASSERT_EQ(items.size(), 17u);
    EXPECT_TRUE(items[0].Enabled);
    EXPECT_EQ(items[16].Caption, "Sector 15");
    EXPECT_FALSE(items[1].Items[0].Enabled);  // block 0
    EXPECT_TRUE(items[1].Items[1].Enabled);   // block 1
    EXPECT_TRUE(items[1].Items[2].Enabled);   // block 2
    EXPECT_FALSE(items[1].Items[3].Enabled);  // block 3
    EXPECT_TRUE(items[2].Items[0].Enabled);   // block 4
    EXPECT_FALSE(items[16].Items[3].Enabled); // block 63
    EXPECT_EQ(items[16].Items[3].Caption, "Block 63");
}

TEST(LockersInput, CancelGivesNothingToWrite) {
    ScriptedRunner runner;
    runner.Cancel();
    EXPECT_EQ(EditLockersList(runner, TwoLockers(97), "Lockers list data"), "");
    EXPECT_EQ(runner.runs, 1);
}

} // namespace
} // namespace velkor::dialogs::testing
