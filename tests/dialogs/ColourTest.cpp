// The models' one colour layout: 0x00BBGGRR, with the toolkit's own colours
// above every RGB value.
#include "ui/controls/Colour.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

TEST(Colour, ChannelsSitInTheirDocumentedBytesAndSystemColoursAreNotRgb) {
    EXPECT_EQ(RgbColour(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(clRed, 0x0000FFu);
    EXPECT_EQ(clNavy, 0x800000u);
    for (const TColour colour : {clBlack, clWhite, clGrey, clSilver, clNavy, clGreen, clRed}) {
        EXPECT_EQ(RgbColour(RedOf(colour), GreenOf(colour), BlueOf(colour)), colour);
        EXPECT_LT(colour, kSystemColour);
    }
    EXPECT_EQ(RedOf(clRed), 0xFF);
    EXPECT_EQ(GreenOf(clRed) | BlueOf(clRed), 0);
    EXPECT_GE(clDefault, kSystemColour);
    EXPECT_GT(clWindow, RgbColour(0xFF, 0xFF, 0xFF));
}

} // namespace
} // namespace velkor
