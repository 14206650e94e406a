#include "protocol/eproto.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace velkor {

namespace {

using Bytes = std::vector<uint8_t>;
using Item = std::tuple<uint32_t, uint32_t, Bytes>;

int16_t Collect(uint32_t tag, uint32_t length, const uint8_t* value, void* context) {
    static_cast<std::vector<Item>*>(context)->emplace_back(tag, length,
                                                           Bytes(value, value + length));
    return 0;
}

int16_t Walk(Bytes bytes, std::vector<Item>* items) {
    eproto_tlv cursor;
    if (eproto_tlv_init(&cursor, 1, 1, bytes.data(), static_cast<uint16_t>(bytes.size())) !=
        EPROTO_TLV_OK) {
        return EPROTO_TLV_BAD_WIDTH;
    }
    return eproto_tlv_iterate(&cursor, Collect, items);
}

TEST(Tlv, InitPacksWidthsAndRejectsBadOnes) {
    uint8_t buffer[4];
    eproto_tlv cursor{};
    ASSERT_EQ(eproto_tlv_init(&cursor, 1, 1, buffer, 4), EPROTO_TLV_OK);
    EXPECT_EQ(cursor.widths, 0x00);
    ASSERT_EQ(eproto_tlv_init(&cursor, 2, 1, buffer, 4), EPROTO_TLV_OK);
    EXPECT_EQ(cursor.widths, 0x04);
    ASSERT_EQ(eproto_tlv_init(&cursor, 4, 4, buffer, 4), EPROTO_TLV_OK);
    EXPECT_EQ(cursor.widths, 0x0F);

    cursor.position = 3;
    EXPECT_EQ(eproto_tlv_init(&cursor, 0, 1, buffer, 4), EPROTO_TLV_BAD_WIDTH);
    EXPECT_EQ(eproto_tlv_init(&cursor, 1, 5, buffer, 4), EPROTO_TLV_BAD_WIDTH);
    EXPECT_EQ(cursor.position, 3); // untouched
}

TEST(Tlv, WriteThenWalk) {
    uint8_t buffer[8] = {};
    eproto_tlv cursor;
    ASSERT_EQ(eproto_tlv_init(&cursor, 1, 1, buffer, sizeof buffer), EPROTO_TLV_OK);
    ASSERT_EQ(eproto_tlv_put_int(&cursor, 0, 0x1234, 2), EPROTO_TLV_OK);
    EXPECT_EQ(cursor.position, 4);
    const uint8_t ab[] = {0x41, 0x42};
    ASSERT_EQ(eproto_tlv_put_bytes(&cursor, 4, ab, 2), EPROTO_TLV_OK);
    EXPECT_EQ(cursor.position, 8);
    EXPECT_EQ(Bytes(buffer, buffer + 8), (Bytes{0x00, 0x02, 0x34, 0x12, 0x04, 0x02, 0x41, 0x42}));

    std::vector<Item> items;
    EXPECT_EQ(Walk(Bytes(buffer, buffer + 8), &items), EPROTO_TLV_OK);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], Item(0, 2, (Bytes{0x34, 0x12})));
    EXPECT_EQ(items[1], Item(4, 2, (Bytes{0x41, 0x42})));
}

TEST(Tlv, WritersRefuseWhatDoesNotFit) {
    uint8_t buffer[5] = {};
    eproto_tlv cursor;
    ASSERT_EQ(eproto_tlv_init(&cursor, 1, 1, buffer, sizeof buffer), EPROTO_TLV_OK);
    EXPECT_EQ(eproto_tlv_put_int(&cursor, 1, 7, 2), EPROTO_TLV_OK);
    EXPECT_EQ(eproto_tlv_put_int(&cursor, 1, 7, 2), EPROTO_TLV_NO_ROOM);
    EXPECT_EQ(cursor.position, 4);
    const uint8_t one = 9;
    EXPECT_EQ(eproto_tlv_put_bytes(&cursor, 2, &one, 1), EPROTO_TLV_NO_ROOM);
    EXPECT_EQ(eproto_tlv_put_bytes(&cursor, 2, &one, 0),
              EPROTO_TLV_NO_ROOM); // needs 2 bytes, 1 left
    EXPECT_EQ(cursor.position, 4);
}

TEST(Tlv, WideFieldsAreLittleEndian) {
    uint8_t buffer[16] = {};
    eproto_tlv cursor;
    ASSERT_EQ(eproto_tlv_init(&cursor, 2, 2, buffer, sizeof buffer), EPROTO_TLV_OK);
    ASSERT_EQ(eproto_tlv_put_int(&cursor, 0x0102, 0xAABBCCDD, 4), EPROTO_TLV_OK);
    EXPECT_EQ(Bytes(buffer, buffer + 8), (Bytes{0x02, 0x01, 0x04, 0x00, 0xDD, 0xCC, 0xBB, 0xAA}));
}

TEST(Tlv, WalkErrors) {
    std::vector<Item> items;
    EXPECT_EQ(Walk({0x01, 0x05, 0xAA}, &items), EPROTO_TLV_VALUE_PAST_END);
    EXPECT_EQ(Walk({0x01}, &items), EPROTO_TLV_TRUNCATED_FIELDS);
    EXPECT_EQ(Walk({}, &items), EPROTO_TLV_OK);
    EXPECT_TRUE(items.empty());

    Bytes bytes = {0x00, 0x01, 0x07, 0x03, 0x00};
    eproto_tlv cursor;
    ASSERT_EQ(eproto_tlv_init(&cursor, 1, 1, bytes.data(), static_cast<uint16_t>(bytes.size())),
              EPROTO_TLV_OK);
    auto stop = [](uint32_t, uint32_t, const uint8_t*, void*) -> int16_t { return -5; };
    EXPECT_EQ(eproto_tlv_iterate(&cursor, stop, nullptr), -5);
    EXPECT_EQ(cursor.position, 2); // at the start of the stopping item's value
}

TEST(ByteHelpers, PackingAndSlices) {
    uint8_t buffer[8] = {};
    uint16_t position = 0;
    EXPECT_TRUE(eproto_put_le(buffer, &position, 0x0BEC, 2));
    EXPECT_EQ(position, 2);
    EXPECT_EQ(buffer[0], 0xEC);
    EXPECT_EQ(buffer[1], 0x0B);
    EXPECT_TRUE(eproto_put_le(buffer, &position, 0x55, 0)); // width 0 counts as 1
    EXPECT_EQ(position, 3);

    position = 0;
    EXPECT_EQ(eproto_get_be(buffer, &position, 2), 0xEC0Bu);
    position = 0;
    EXPECT_EQ(eproto_get_le(buffer, &position, 2), 0x0BECu);
    EXPECT_EQ(eproto_get_le(buffer, &position, 0), 0x55u);
    EXPECT_EQ(position, 3);
    EXPECT_EQ(eproto_get_be(buffer, &position, 0), 0u);
    EXPECT_EQ(position, 3);

    EXPECT_EQ(eproto_bytes_at(std::string("\x01\x02\x03\x04", 4), 1, 2), "\x02\x03");
    EXPECT_EQ(eproto_bytes_at("abc", 2, 5), "c");
    EXPECT_EQ(eproto_bytes_at("abc", 7, 1), "");
}

TEST(HexText, BothDirections) {
    EXPECT_EQ(eproto_bytes_to_hex(std::string("\x0A\xFF", 2), "-"), "0A-FF");
    EXPECT_EQ(eproto_bytes_to_hex(std::string("\x0A\xFF", 2), ""), "0AFF");
    EXPECT_EQ(eproto_bytes_to_hex(std::string(), "-"), "");
    EXPECT_EQ(eproto_bytes_to_hex(std::string(1, '\0'), " "), "00");

    EXPECT_EQ(eproto_hex_to_bytes("0aFf"), "\x0A\xFF");
    EXPECT_EQ(eproto_hex_to_bytes("ABC"), "\xAB");
    EXPECT_EQ(eproto_hex_to_bytes("A"), "");
    EXPECT_EQ(eproto_hex_to_bytes("0G"), "");
    EXPECT_EQ(eproto_hex_to_bytes("00112G"), "");
    EXPECT_EQ(eproto_hex_to_bytes(std::string(1025, 'F')).size(), 512u);
    EXPECT_EQ(eproto_hex_to_bytes(std::string(1026, 'F')), "");
    EXPECT_EQ(eproto_hex_to_bytes("AABB", 2), "\xAA");
}

} // namespace

} // namespace velkor
