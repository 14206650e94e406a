// The byte builders and text helpers on their own.
#include "device/Catalogue.h"
#include "device/DeviceCommands.h"
#include "device/SettingsRecords.h"
#include "protocol/eproto.h"
#include "ui/main/CardRead.h"
#include "ui/main/DirectConnect.h"
#include "ui/main/TrafficLog.h"

#include <gtest/gtest.h>

namespace velkor {

namespace {
std::string Hex(const std::string& bytes) {
    return eproto_bytes_to_hex(bytes);
}
} // namespace

TEST(DisplayItems, TonesPatternsMelodyAndBufferLimits) {
    DisplayItems shortTone;
    shortTone.Tone(0, 4000, 30, 9, 50); // shorter than its gap: full length, no pause
    EXPECT_EQ(Hex(shortTone.Bytes()), "010600A00F1E0009");

    DisplayItems pattern3;
    pattern3.SoundPattern(3, 1);
    EXPECT_EQ(Hex(pattern3.Bytes()), "010600A00F320001"
                                     "00023200"
                                     "010600A00F320001"
                                     "00023200");
    DisplayItems none;
    none.SoundPattern(0, 1);
    none.SoundPattern(7, 1);
    EXPECT_EQ(none.Bytes(), "");

    DisplayItems melody;
    melody.Melody(255);
    melody.Hold(500, false, false);
    const std::string bytes = melody.Bytes();
    ASSERT_EQ(bytes.size(), 94u);
    EXPECT_EQ(Hex(bytes.substr(0, 3)), "0201FF");
    // 740 Hz for 500 ms: 469 ms of tone, 31 of pause, then LED off and the hold.
    EXPECT_EQ(Hex(bytes.substr(bytes.size() - 19)), "010600E402D501FF00021F00020100"
                                                    "0402F401");

    DisplayItems holdFlags;
    holdFlags.Hold(3000, false, true);
    holdFlags.Hold(1, true, false);
    EXPECT_EQ(Hex(holdFlags.Bytes()), "0404B80B0001"
                                      "0403010001");

    // A text that cannot fit the 250-byte buffer is left out; the hold still goes.
    DisplayItems tooLong;
    tooLong.Text(std::string(249, 'x'));
    tooLong.Hold(500, false, false);
    EXPECT_EQ(Hex(tooLong.Bytes()), "0402F401");
    DisplayItems fits;
    fits.Text(std::string(248, 'x'));
    EXPECT_EQ(fits.Bytes().size(), 250u);
}

TEST(DeviceRecords, RelayCardMessageWriteNumberAndLockers) {
    EXPECT_EQ(RelayCode(0, 200), 0x04);
    EXPECT_EQ(RelayCode(3, 3150), 0xFF);
    EXPECT_EQ(RelayCode(3, 49), 0xC0);
    EXPECT_FALSE(RelayCode(3, 3200));
    EXPECT_FALSE(RelayCode(4, 0));

    const std::string id(40, '\x01');
    const std::string record = CardMessageRecord(0x01020304, 7, id, "0123456789ABCDEFGH");
    EXPECT_EQ(record.size(), 4u + 1 + 1 + 32 + 16);
    EXPECT_EQ(Hex(record.substr(0, 6)), "040302010720");
    EXPECT_EQ(record.substr(38), "0123456789ABCDEF");

    EXPECT_EQ(Hex(WriteNumberRecord(62, 70000)), "3E7011");
    EXPECT_EQ(Hex(WriteNumberRecord(33, -1)), "21FFFF");

    EXPECT_EQ(Hex(device::PadName15("ABCDEFGHIJKLMNOPQ")), "4142434445464748494A4B4C4D4E4F");
    EXPECT_EQ(device::LockersRecord({}, 6).size(), 97u);
    EXPECT_EQ(device::LockersRecord({}, -1).size(), 1u);

    EXPECT_EQ(ParseDecimal("-12"), -12);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_FALSE(ParseDecimal(""));
    EXPECT_FALSE(ParseDecimal("1x"));
    EXPECT_FALSE(ParseDecimal(" 1"));
    EXPECT_FALSE(ParseDecimal("+-1"));
    EXPECT_FALSE(ParseDecimal("99999999999"));
    EXPECT_EQ(TrimBlanks("\t a b \r\n"), "a b");
}

TEST(CardReads, NumbersAndLetters) {
    EXPECT_EQ(CardNumberText(0x0081800C), "A12");
    EXPECT_EQ(CardNumberText(0x00828000), "B0");
    EXPECT_EQ(CardNumberText(0x000083E7), "999");
    EXPECT_EQ(CardNumberText(0x000083E8), "---"); // 1000
    EXPECT_EQ(CardNumberText(0x00000005), "---"); // no number flag
    EXPECT_EQ(CardNumberText(0x80008001), "!");

    const auto withCell = DecodeCardRead(std::string("\x01\xAA\x00\x00\x00\x00\x00\x00"
                                                     "\x00\x00\x80\x03",
                                                     12));
    ASSERT_TRUE(withCell);
    EXPECT_EQ(withCell->UIDLabel, "AA ()");
    EXPECT_EQ(withCell->CabText, "---");
    EXPECT_EQ(withCell->CellText, "3");
    EXPECT_TRUE(withCell->HasClosedLockers);
    EXPECT_FALSE(DecodeCardRead(std::string("\x00\x01\x02\x03", 4)));
}

TEST(TextFormats, HostPortDurationsEscapesAndTables) {
    auto t = ParseHostPort("10.0.0.9", 8080);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Host, "10.0.0.9");
    EXPECT_EQ(t->Port, 8080);
    EXPECT_FALSE(ParseHostPort("10.0.0.9:0", 8080));
    EXPECT_FALSE(ParseHostPort("10.0.0.9:65536", 8080));
    EXPECT_FALSE(ParseHostPort("10.0.9:80", 8080));
    EXPECT_FALSE(ParseHostPort("", 8080));
    t = ParseHostPort("10.0.0.9:65535:  x :more", 8080);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Port, 65535);
    EXPECT_EQ(t->Caption, "x");
    EXPECT_EQ(ParseHostPort("10.0.0.9:abc", 8080)->Port, 8080);
    EXPECT_EQ(ParseHostPort("x.y..z:1", 8080).value_or(HostPort{}).Host, "x.y..z");

    EXPECT_EQ(DurationText(59), "00:00:59");
    EXPECT_EQ(DurationText(3600), "01:00:00");
    EXPECT_EQ(DurationText(90061), "1d 01:01:01");
    EXPECT_EQ(DurationText(0xFFFFFFFFu), "49710d 06:28:15");

    EXPECT_EQ(EscapeControlBytes(std::string("a\0b\x7F\xC0", 5)), "a\\x00b\\x7F\xC0");

    EXPECT_EQ(FindByteMenuInfo(2, NoNetworkTable()), nullptr);
    EXPECT_STREQ(FindByteMenuInfo(0, NoNetworkTable())->ShortName, "TURN");
    EXPECT_STREQ(FindByteMenuInfo(1, LockModeTable())->ShortName, "VESKO");
    EXPECT_TRUE(ByteMenuTableForItem(19).empty());
}

} // namespace velkor
