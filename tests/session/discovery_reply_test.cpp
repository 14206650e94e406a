#include "protocol/eproto.h"
#include "session/DiscoveryReply.h"

#include <gtest/gtest.h>

namespace velkor {

namespace {

std::string Hex(const char* text) {
    return eproto_hex_to_bytes(text);
}

} // namespace

TEST(DiscoveryReply, AddressAndPortAnswerGivesADeviceWithResetValuesElsewhere) {
    const auto device = ParseDiscoveryReply(Hex("0204C0A80011"
                                                "0602901F"));
    ASSERT_TRUE(device);
    EXPECT_EQ(device->Kind, 2);
    EXPECT_EQ(device->DeviceName, "Corvix Device");
    EXPECT_EQ(device->DeviceType, "DEDIV_EZ");
    EXPECT_EQ(device->IPText, "192.168.0.17");
    const auto* ip = reinterpret_cast<const uint8_t*>(&device->IP);
    EXPECT_EQ(eproto_bytes_to_hex(ip, 4, ""), "C0A80011");
    EXPECT_EQ(device->TCPPort, 8080);
    EXPECT_TRUE(device->MAC.empty());
    EXPECT_EQ(device->SignedSeconds, -1);
    EXPECT_EQ(device->Seconds, -1);
}

TEST(DiscoveryReply, EveryTagIsReadWithItsOwnEncoding) {
    const auto items = ReadDiscoveryItems(Hex("0106001122AABBCC"
                                              "03040A000001"
                                              "0404FFFFFF00"
                                              "05047F000001"
                                              "07023412"
                                              "080107"
                                              "0901FE"
                                              "0A0410000080"
                                              "0B04FFFFFF7F"
                                              "0C024142"
                                              "0D0143"
                                              "0E00"));
    ASSERT_TRUE(items);
    EXPECT_EQ(eproto_bytes_to_hex(items->MAC, " "), "00 11 22 AA BB CC");
    EXPECT_EQ(items->Addr3Text, "10.0.0.1");
    EXPECT_EQ(items->Addr4Text, "255.255.255.0");
    EXPECT_EQ(items->Addr5Text, "127.0.0.1");
    EXPECT_EQ(items->Tag7Value, 0x1234);
    EXPECT_EQ(items->Tag8Byte, 7);
    EXPECT_EQ(items->Tag9Byte, 0xFE);
    EXPECT_EQ(static_cast<uint32_t>(items->SignedSeconds), 0x80000010u);
    EXPECT_EQ(items->Seconds, 0x7FFFFFFF);
    EXPECT_EQ(items->Text12, "AB");
    EXPECT_EQ(items->Text13, "C");
    EXPECT_EQ(items->Text14, "");

    const auto device = ParseDiscoveryReply(Hex("0106001122AABBCC0A04100000800B0405000000"));
    ASSERT_TRUE(device);
    EXPECT_EQ(eproto_bytes_to_hex(device->MAC), "001122AABBCC");
    EXPECT_EQ(static_cast<uint32_t>(device->SignedSeconds), 0x80000010u);
    EXPECT_EQ(device->Seconds, 5);
}

TEST(DiscoveryReply, ItemsOfTheWrongLengthOrUnknownTagAreSkipped) {
    // Five bytes for an address: skipped, the rest still read.
    auto device = ParseDiscoveryReply(Hex("0205C0A8001101"
                                          "0602901F"));
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->IPText.empty());
    EXPECT_EQ(device->IP, 0u);
    EXPECT_EQ(device->TCPPort, 8080);

    // Tag 12 takes at most 16 bytes.
    const std::string seventeen(17, 'x');
    const std::string sixteen(16, 'y');
    auto items = ReadDiscoveryItems(Hex("0C11") + seventeen);
    ASSERT_TRUE(items);
    EXPECT_TRUE(items->Text12.empty());
    items = ReadDiscoveryItems(Hex("0C10") + sixteen);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->Text12, sixteen);

    // A tag outside the table is passed over; a repeated tag keeps the last value.
    device = ParseDiscoveryReply(Hex("1403AABBCC"
                                     "06020100"
                                     "06025000"));
    ASSERT_TRUE(device);
    EXPECT_EQ(device->TCPPort, 80);
}

TEST(DiscoveryReply, TruncatedAnswerGivesNoDeviceAndEmptyAnswerAResetOne) {
    EXPECT_FALSE(ParseDiscoveryReply(Hex("0204C0A80011"
                                         "060290")));
    EXPECT_FALSE(ParseDiscoveryReply(Hex("02")));

    const auto device = ParseDiscoveryReply("");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->Kind, 2);
    EXPECT_TRUE(device->IPText.empty());
    EXPECT_EQ(device->TCPPort, 0);
    EXPECT_EQ(device->Tag7Value, 0);
    EXPECT_EQ(device->SignedSeconds, -1);
}

} // namespace velkor
