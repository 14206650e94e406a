#include "protocol/Win1251.h"

#include <gtest/gtest.h>

#include <string>

namespace velkor {

namespace {

TEST(Win1251, CyrillicAndPunctuationRoundTrip) {
    const std::string granted = Win1251FromUtf8("Доступ разрешен");
    EXPECT_EQ(granted, "\xC4\xEE\xF1\xF2\xF3\xEF \xF0\xE0\xE7\xF0\xE5\xF8\xE5\xED");
    EXPECT_EQ(Utf8FromWin1251(granted), "Доступ разрешен");

    EXPECT_EQ(Win1251FromUtf8("ЁёЄєІіЇїҐґ№€—«»"),
              "\xA8\xB8\xAA\xBA\xB2\xB3\xAF\xBF\xA5\xB4\xB9\x88\x97\xAB\xBB");
    EXPECT_EQ(Win1251FromUtf8("ascii\r\n\0x"), std::string("ascii\r\n"));
    EXPECT_EQ(Win1251FromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Win1251, EveryByteSurvivesTheTripThroughUtf8) {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x98) {
            continue; // unassigned in the code page
        }
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Win1251FromUtf8(Utf8FromWin1251(one)), one) << byte;
    }
}

TEST(Win1251, UnmappableAndMalformedInput) {
    EXPECT_EQ(Win1251FromUtf8("日本"), "??");
    EXPECT_EQ(Win1251FromUtf8("\xD0"), "?"); // truncated sequence
    EXPECT_EQ(Win1251FromUtf8("\xFF"
                              "a"),
              "?a"); // invalid lead byte
    EXPECT_EQ(Utf8FromWin1251("\x98"), "\xEF\xBF\xBD");
}

} // namespace

} // namespace velkor
