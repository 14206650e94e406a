#include "protocol/PacketStream.h"
#include "session/PacketRecord.h"
#include "tests/session/LoopbackPeers.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkor {

namespace {

struct Cut {
    PacketStream stream;
    std::vector<std::string> packets; // cmd byte followed by the data

    void Feed(const std::string& chunk) {
        stream.Feed(chunk, [&](const eproto_header& header) {
            packets.push_back(std::string(1, static_cast<char>(header.cmd)) +
                              std::string(reinterpret_cast<const char*>(header.data), header.len));
        });
    }
};

eproto_header Decoded(const std::string& bytes) {
    eproto_header header{};
    uint16_t position = 0;
    EXPECT_EQ(eproto_decode(reinterpret_cast<const uint8_t*>(bytes.data()), &position,
                            static_cast<uint16_t>(bytes.size()), &header),
              EPROTO_DECODE_OK);
    return header;
}

} // namespace

TEST(PacketStream, CutsWholeAndSplitPacketsInOrder) {
    Cut cut;
    cut.Feed(EncodePacket(1, "one") + EncodePacket(2, "two"));
    EXPECT_EQ(cut.packets, (std::vector<std::string>{"\x01one", "\x02two"}));

    const std::string third = EncodePacket(3, std::string(135, 'z'));
    cut.Feed(third.substr(0, 5));
    cut.Feed(third.substr(5, 100));
    EXPECT_EQ(cut.packets.size(), 2u);
    EXPECT_EQ(cut.stream.Backlog(), 105u);
    cut.Feed(third.substr(105));
    ASSERT_EQ(cut.packets.size(), 3u);
    EXPECT_EQ(cut.packets[2], "\x03" + std::string(135, 'z'));
    EXPECT_EQ(cut.stream.Backlog(), 0u);
}

TEST(PacketStream, SkipsEveryKindOfBadHeaderAndKeepsGoing) {
    Cut cut;
    std::string bad_len = EncodePacket(4, "x");
    bad_len[2] = static_cast<char>(136); // length over 135
    std::string bad_crc = EncodePacket(5, "y");
    bad_crc[4] ^= 1; // header checksum no longer matches
    std::string bad_data = EncodePacket(6, "zz");
    bad_data[9] ^= 1; // data checksum no longer matches
    cut.Feed("garbage" + bad_len + EncodePacket(7, "a") + "\x2A\x2A" + bad_crc + bad_data +
             EncodePacket(8, "b"));
    EXPECT_EQ(cut.packets, (std::vector<std::string>{"\x07"
                                                     "a",
                                                     "\x08"
                                                     "b"}));

    // A byte that cannot start a packet is not kept waiting for a header's
    // worth of bytes: fed alone or with the rest, the same bytes are skipped.
    Cut alone;
    alone.Feed("xy");
    EXPECT_EQ(alone.stream.Backlog(), 0u);
    EXPECT_EQ(alone.stream.SkippedBytes(), 2u);

    // A megabyte of noise full of magic bytes leaves at most one packet's worth behind.
    std::string noise(1 << 20, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>(i % 3 == 0 ? EPROTO_MAGIC : i * 7919 % 251);
    }
    cut.Feed(noise);
    EXPECT_LT(cut.stream.Backlog(), EPROTO_MAX_PACKET);
    cut.Feed(std::string(EPROTO_MAX_PACKET, 'n') + EncodePacket(9, "c"));
    EXPECT_EQ(cut.packets.back(), "\x09"
                                  "c");
}

TEST(PacketRecord, DeciphersOnlyWithAKeyAndMoreThanEightDataBytes) {
    TRFIDReaderPacket packet;
    packet.Datagram.FromIP = "kept";

    const std::string sealed = EncodeSealedPacket(3, "card!", "qzx");
    FillPacketRecord(packet, Decoded(sealed), "qzx");
    EXPECT_TRUE(packet.Decrypted);
    EXPECT_EQ(packet.data, "card!");
    EXPECT_EQ(packet.cmd, 3);
    EXPECT_EQ(packet.Datagram.FromIP, "kept");

    // Wrong key: delivered as received.
    FillPacketRecord(packet, Decoded(sealed), "abc");
    EXPECT_FALSE(packet.Decrypted);
    EXPECT_EQ(packet.data, sealed.substr(8));

    // No key: nothing deciphered.
    FillPacketRecord(packet, Decoded(sealed), "");
    EXPECT_FALSE(packet.Decrypted);
    EXPECT_EQ(packet.data, sealed.substr(8));

    // An 8-byte field is a valid empty cipher field, but is never tried.
    const std::string empty_field = EncodeSealedPacket(3, "", "qzx");
    FillPacketRecord(packet, Decoded(empty_field), "qzx");
    EXPECT_FALSE(packet.Decrypted);
    EXPECT_EQ(packet.data.size(), 8u);
}

} // namespace velkor
