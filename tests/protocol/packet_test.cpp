#include "protocol/eproto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velkor {

namespace {

using Bytes = std::vector<uint8_t>;

struct Capture {
    Bytes bytes;
    std::vector<uint16_t> calls;
};

int16_t Append(const uint8_t* bytes, uint16_t count, void* context) {
    auto* capture = static_cast<Capture*>(context);
    capture->bytes.insert(capture->bytes.end(), bytes, bytes + count);
    capture->calls.push_back(count);
    return static_cast<int16_t>(count);
}

Capture Encode(uint8_t cmd, uint8_t flags, uint8_t code, const Bytes& data, int16_t* result) {
    eproto_header header;
    eproto_header_init(&header);
    header.cmd = cmd;
    header.flags = flags;
    header.code = code;
    header.len = static_cast<uint16_t>(data.size());
    header.data = data.data();
    Capture capture;
    *result = eproto_encode(&header, Append, &capture);
    return capture;
}

uint8_t Crc(const std::string& text) {
    return eproto_crc8(reinterpret_cast<const uint8_t*>(text.data()), text.size(), 0);
}

TEST(Crc8, CatalogueValuesAndTable) {
    EXPECT_EQ(Crc("123456789"), 0xF4);
    EXPECT_EQ(Crc("abc"), 0x5F);
    EXPECT_EQ(Crc(""), 0x00);
    const uint8_t one = 1, top = 128, all = 255;
    EXPECT_EQ(eproto_crc8(&one, 1, 0), 0x07);
    EXPECT_EQ(eproto_crc8(&top, 1, 0), 0x89);
    EXPECT_EQ(eproto_crc8(&all, 1, 0), 0xF3);
    EXPECT_EQ(eproto_crc8(nullptr, 0, 0x5A), 0x5A);
}

TEST(Encode, KnownPacketsAndWriterCalls) {
    int16_t result = 0;
    Capture discover = Encode(7, 3, 0, {}, &result);
    EXPECT_EQ(discover.bytes, (Bytes{0x2A, 0x07, 0x00, 0x00, 0x03, 0x00, 0x30, 0x00}));
    EXPECT_EQ(result, 8);

    Capture quack = Encode(13, 0, 0, {}, &result);
    EXPECT_EQ(quack.bytes, (Bytes{0x2A, 0x0D, 0x00, 0x00, 0x00, 0x00, 0xD2, 0x00}));
    EXPECT_EQ(quack.calls, (std::vector<uint16_t>{8, 0}));
    EXPECT_EQ(result, 8);

    Capture read = Encode(8, 1, 0, {0x08}, &result);
    EXPECT_EQ(read.bytes, (Bytes{0x2A, 0x08, 0x01, 0x00, 0x01, 0x00, 0x3C, 0x38, 0x08}));
    EXPECT_EQ(result, 9);
}

TEST(Encode, WriterAbortIsReturnedUnchanged) {
    eproto_header header;
    eproto_header_init(&header);
    int calls = 0;
    auto abort_second = [](const uint8_t*, uint16_t count, void* context) -> int16_t {
        return ++*static_cast<int*>(context) == 2 ? -7 : static_cast<int16_t>(count);
    };
    EXPECT_EQ(eproto_encode(&header, abort_second, &calls), -7);
    EXPECT_EQ(calls, 2);
}

TEST(DecodeHeader, ShortInputAndErrorsInOrder) {
    eproto_header header;
    const Bytes good = {0x2A, 0x07, 0x00, 0x00, 0x03, 0x00, 0x30, 0x00};
    EXPECT_EQ(eproto_decode_header(good.data(), 5, &header), 3);
    EXPECT_EQ(eproto_decode_header(good.data(), 0, &header), 8);
    EXPECT_EQ(eproto_decode_header(good.data(), 8, &header), EPROTO_DECODE_OK);
    EXPECT_EQ(header.cmd, 7);
    EXPECT_EQ(header.flags, 3);

    Bytes plus = good;
    plus[0] = '+';
    plus[6] ^= 0xFF; // a wrong magic wins over a wrong checksum
    EXPECT_EQ(eproto_decode_header(plus.data(), 8, &header), EPROTO_DECODE_BAD_MAGIC);

    Bytes too_long = {0x2A, 0x01, 136, 0x00, 0x00, 0x00, 0x00, 0x00};
    too_long[6] = eproto_crc8(too_long.data(), 6, 0);
    EXPECT_EQ(eproto_decode_header(too_long.data(), 8, &header), EPROTO_DECODE_BAD_LENGTH);
    too_long[2] = 135;
    too_long[6] = eproto_crc8(too_long.data(), 6, 0);
    EXPECT_EQ(eproto_decode_header(too_long.data(), 8, &header), EPROTO_DECODE_OK);

    Bytes flipped_flags = good;
    flipped_flags[4] ^= 0x01;
    EXPECT_EQ(eproto_decode_header(flipped_flags.data(), 8, &header), EPROTO_DECODE_BAD_HEADER_CRC);
}

TEST(Decode, PartialThenCompleteAndBackToBack) {
    int16_t result = 0;
    Bytes stream = Encode(8, 1, 0, {0x08, 0x11, 0x22}, &result).bytes;
    const Bytes second = Encode(136, 0, 5, {0x20, 0xAA}, &result).bytes;

    eproto_header header;
    uint16_t position = 0;
    EXPECT_EQ(
        eproto_decode(stream.data(), &position, static_cast<uint16_t>(stream.size() - 1), &header),
        1);
    EXPECT_EQ(position, 0);

    stream.insert(stream.end(), second.begin(), second.end());
    const auto total = static_cast<uint16_t>(stream.size());
    ASSERT_EQ(eproto_decode(stream.data(), &position, total, &header), EPROTO_DECODE_OK);
    EXPECT_EQ(position, 11);
    EXPECT_EQ(header.cmd, 8);
    EXPECT_EQ(Bytes(header.data, header.data + header.len), (Bytes{0x08, 0x11, 0x22}));

    ASSERT_EQ(eproto_decode(stream.data(), &position, total, &header), EPROTO_DECODE_OK);
    EXPECT_EQ(position, total);
    EXPECT_EQ(header.cmd, 136);
    EXPECT_EQ(header.code, 5);
    EXPECT_EQ(Bytes(header.data, header.data + header.len), (Bytes{0x20, 0xAA}));

    EXPECT_EQ(eproto_decode(stream.data(), &position, total, &header), 8);
}

TEST(Decode, DataChecksumMismatchLeavesPosition) {
    int16_t result = 0;
    Bytes packet = Encode(23, 0, 0, {1, 2, 3, 4}, &result).bytes;
    packet[9] ^= 0x10;
    eproto_header header;
    uint16_t position = 0;
    EXPECT_EQ(
        eproto_decode(packet.data(), &position, static_cast<uint16_t>(packet.size()), &header),
        EPROTO_DECODE_BAD_DATA_CRC);
    EXPECT_EQ(position, 0);
}

TEST(Decode, EveryLengthRoundTrips) {
    for (uint16_t len = 0; len <= EPROTO_MAX_DATA; ++len) {
        Bytes data(len);
        for (uint16_t n = 0; n < len; ++n) {
            data[n] = static_cast<uint8_t>(n * 37 + len);
        }
        int16_t result = 0;
        const Bytes packet = Encode(9, 2, 1, data, &result).bytes;
        ASSERT_EQ(result, 8 + len);
        eproto_header header;
        uint16_t position = 0;
        ASSERT_EQ(
            eproto_decode(packet.data(), &position, static_cast<uint16_t>(packet.size()), &header),
            EPROTO_DECODE_OK)
            << "len " << len;
        EXPECT_EQ(Bytes(header.data, header.data + header.len), data);
    }
}

} // namespace

} // namespace velkor
