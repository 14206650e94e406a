#include "ui/dialogs/uCombo.h"

#include <gtest/gtest.h>

namespace velkor::dialogs {
namespace {

// Entries 0..7, where 3 and 7 may not be chosen.
TComboBox BlockList(const char* name, int tag) {
    TComboBox combo(name);
    combo.SetTag(tag);
    for (int n = 0; n < 8; ++n) {
        combo.Add(std::to_string(n), n % 4 == 3 ? std::nullopt : std::optional<int>(n));
    }
    return combo;
}

TEST(BlockCombo, NameDecidesTheBehaviour) {
    EXPECT_TRUE(BlockList("cbABlock", 1).IsBlockList());
    EXPECT_TRUE(BlockList("BLOCKS", 1).IsBlockList());
    EXPECT_FALSE(BlockList("cbSectorBlock", 1).IsBlockList());
    EXPECT_FALSE(BlockList("cbDelay", 1).IsBlockList());
    EXPECT_TRUE(BlockList("cbDelay", 1).IsSelectable(3));
}

TEST(BlockCombo, ArrowsSkipEntriesThatMayNotBeChosen) {
    int beeps = 0;
    TComboBox combo = BlockList("cbABlock", 1);
    combo.OnBeep = [&beeps] { ++beeps; };

    combo.SetItemIndex(2);
    EXPECT_TRUE(combo.KeyDown());
    EXPECT_EQ(combo.ItemIndex(), 4);
    EXPECT_TRUE(combo.KeyUp());
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_FALSE(combo.KeyUp()); // entry 1 is selectable: the normal step
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(beeps, 0);

    combo.SetItemIndex(6);
    EXPECT_TRUE(combo.KeyDown());
    EXPECT_EQ(combo.ItemIndex(), 6);
    EXPECT_EQ(beeps, 1);

    combo.SetItemIndex(0);
    EXPECT_FALSE(combo.KeyUp());
    combo.SetItemIndex(7);
    EXPECT_FALSE(combo.KeyDown());

    TComboBox plain = BlockList("cbDelay", 0);
    plain.SetItemIndex(2);
    EXPECT_FALSE(plain.KeyDown());
}

TEST(BlockCombo, CloseUpRefusesAMouseChoiceUnlessTagged) {
    int beeps = 0;
    TComboBox combo = BlockList("cbABlock", 0);
    combo.OnBeep = [&beeps] { ++beeps; };
    combo.SetItemIndex(1);
    combo.DropDown();
    EXPECT_EQ(combo.Remembered(), 1);
    combo.SetItemIndex(3);
    EXPECT_TRUE(combo.CloseUp());
    EXPECT_TRUE(combo.DroppedDown());
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(combo.Remembered(), 3);
    combo.SetItemIndex(5);
    EXPECT_FALSE(combo.CloseUp());
    EXPECT_FALSE(combo.DroppedDown());
    EXPECT_EQ(combo.Remembered(), 5);

    TComboBox tagged = BlockList("cbABlock", 1);
    tagged.OnBeep = [&beeps] { ++beeps; };
    tagged.DropDown();
    tagged.SetItemIndex(3);
    EXPECT_FALSE(tagged.CloseUp());
    EXPECT_EQ(beeps, 1);
}

TEST(BlockCombo, ItemColours) {
    TComboBox combo = BlockList("cbABlock", 1);
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.ItemStyle(3).textColour, 0x808080u);
    EXPECT_EQ(combo.ItemStyle(3).textBackground, 0xC0C0C0u);
    EXPECT_EQ(combo.ItemStyle(1).textColour, 0x000000u);
    combo.DropDown();
    EXPECT_EQ(combo.ItemStyle(1).textAreaFill, 0x800000u);
    EXPECT_EQ(combo.ItemStyle(1).textColour, 0xFFFFFFu);
    combo.SetEnabled(false);
    EXPECT_EQ(combo.ItemStyle(1).textColour, 0x808080u);
}

} // namespace
} // namespace velkor::dialogs
