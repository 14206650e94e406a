#include "ui/dialogs/uCombo.h"

#include <gtest/gtest.h>

namespace velkor::dialogs {
namespace {

// Entries 0..7, where 3 and 7 may not be chosen.
TComboBox BlockList(const char* name, int tag) {
    TComboBox combo;
    combo.name = name;
    combo.tag = tag;
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
    combo.onBeep = [&beeps] { ++beeps; };

    combo.itemIndex = 2;
    EXPECT_TRUE(combo.KeyDown());
    EXPECT_EQ(combo.itemIndex, 4);
    EXPECT_TRUE(combo.KeyUp());
    EXPECT_EQ(combo.itemIndex, 2);
    EXPECT_FALSE(combo.KeyUp()); // entry 1 is selectable: the normal step
    EXPECT_EQ(combo.itemIndex, 2);
    EXPECT_EQ(beeps, 0);

    combo.itemIndex = 6;
    EXPECT_TRUE(combo.KeyDown());
    EXPECT_EQ(combo.itemIndex, 6);
    EXPECT_EQ(beeps, 1);

    combo.itemIndex = 0;
    EXPECT_FALSE(combo.KeyUp());
    combo.itemIndex = 7;
    EXPECT_FALSE(combo.KeyDown());

    TComboBox plain = BlockList("cbDelay", 0);
    plain.itemIndex = 2;
    EXPECT_FALSE(plain.KeyDown());
}

TEST(BlockCombo, CloseUpRefusesAMouseChoiceUnlessTagged) {
    int beeps = 0;
    TComboBox combo = BlockList("cbABlock", 0);
    combo.onBeep = [&beeps] { ++beeps; };
    combo.itemIndex = 1;
    combo.DropDown();
    EXPECT_EQ(combo.remembered, 1);
    combo.itemIndex = 3;
    EXPECT_TRUE(combo.CloseUp());
    EXPECT_TRUE(combo.droppedDown);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(combo.remembered, 3);
    combo.itemIndex = 5;
    EXPECT_FALSE(combo.CloseUp());
    EXPECT_FALSE(combo.droppedDown);
    EXPECT_EQ(combo.remembered, 5);

    TComboBox tagged = BlockList("cbABlock", 1);
    tagged.onBeep = [&beeps] { ++beeps; };
    tagged.DropDown();
    tagged.itemIndex = 3;
    EXPECT_FALSE(tagged.CloseUp());
    EXPECT_EQ(beeps, 1);
}

TEST(BlockCombo, ItemColours) {
    TComboBox combo = BlockList("cbABlock", 1);
    combo.itemIndex = 1;
    EXPECT_EQ(combo.ItemStyle(3).textColour, 0x808080u);
    EXPECT_EQ(combo.ItemStyle(3).textBackground, 0xC0C0C0u);
    EXPECT_EQ(combo.ItemStyle(1).textColour, 0x000000u);
    combo.DropDown();
    EXPECT_EQ(combo.ItemStyle(1).textAreaFill, 0x800000u);
    EXPECT_EQ(combo.ItemStyle(1).textColour, 0xFFFFFFu);
    combo.enabled = false;
    EXPECT_EQ(combo.ItemStyle(1).textColour, 0x808080u);
}

} // namespace
} // namespace velkor::dialogs
