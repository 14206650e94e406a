#include "protocol/RC4.h"
#include "protocol/eproto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velkor {

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kKey = "qzx";
const auto* kKeyBytes = reinterpret_cast<const uint8_t*>(kKey.data());

Bytes Keystream(const Bytes& key, std::size_t skip, std::size_t count) {
    rc4_state state;
    rc4_init(&state);
    rc4_schedule(key.data(), key.size(), &state);
    Bytes zeros(skip + count, 0);
    Bytes out(zeros.size());
    rc4_crypt(zeros.data(), out.data(), zeros.size(), &state);
    return Bytes(out.begin() + static_cast<std::ptrdiff_t>(skip), out.end());
}

// RFC 6229 test vectors: keystream at offsets 0 and 1520 for two keys.
TEST(Rc4, PublishedVectors) {
    const Bytes key40 = {0x01, 0x02, 0x03, 0x04, 0x05};
    EXPECT_EQ(Keystream(key40, 0, 16), (Bytes{0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27, 0xcc,
                                              0xc3, 0x52, 0x4a, 0x0a, 0x11, 0x18, 0xa8}));
    EXPECT_EQ(Keystream(key40, 1520, 16), (Bytes{0x32, 0x94, 0xf7, 0x44, 0xd8, 0xf9, 0x79, 0x05,
                                                 0x07, 0xe7, 0x0f, 0x62, 0xe5, 0xbb, 0xce, 0xea}));
    const Bytes key128 = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                          0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10};
    EXPECT_EQ(Keystream(key128, 0, 16), (Bytes{0x9a, 0xc7, 0xcc, 0x9a, 0x60, 0x9d, 0x1e, 0xf7, 0xb2,
                                               0x93, 0x28, 0x99, 0xcd, 0xe4, 0x1b, 0x97}));
    EXPECT_EQ(Keystream(key128, 1520, 16), (Bytes{0xb4, 0x01, 0x10, 0xc4, 0x19, 0x0b, 0x56, 0x22,
                                                  0xa9, 0x61, 0x16, 0xb0, 0x01, 0x7e, 0xd2, 0x97}));
}

TEST(Rc4, CryptContinuesAcrossCalls) {
    const Bytes key = {0x01, 0x02, 0x03, 0x04, 0x05};
    rc4_state state;
    rc4_init(&state);
    rc4_schedule(key.data(), key.size(), &state);
    Bytes in(16, 0), out(16);
    rc4_crypt(in.data(), out.data(), 5, &state);
    rc4_crypt(in.data() + 5, out.data() + 5, 11, &state);
    EXPECT_EQ(out, Keystream(key, 0, 16));
}

Bytes Seal(const Bytes& payload, const std::string& key = kKey) {
    Bytes field(payload.size() + EPROTO_CIPHER_OVERHEAD);
    EXPECT_EQ(eproto_cipher_seal(field.data(), payload.data(),
                                 static_cast<uint16_t>(payload.size()),
                                 reinterpret_cast<const uint8_t*>(key.data()), key.size()),
              EPROTO_CIPHER_OK);
    return field;
}

int16_t Open(Bytes& field, const std::string& key = kKey) {
    eproto_cipher context;
    if (eproto_cipher_init(&context, field.data(), static_cast<uint16_t>(field.size()), false) !=
        EPROTO_CIPHER_OK) {
        return EPROTO_CIPHER_TOO_SHORT;
    }
    context.position = static_cast<uint16_t>(field.size());
    return eproto_cipher_decrypt(&context, reinterpret_cast<const uint8_t*>(key.data()),
                                 key.size());
}

TEST(PacketCipher, InitRefusesShortFieldsAndFillsSaltAndFiller) {
    uint8_t seven[7] = {1, 2, 3, 4, 5, 6, 7};
    eproto_cipher context{nullptr, 0, 99};
    EXPECT_EQ(eproto_cipher_init(&context, seven, 7, true), EPROTO_CIPHER_TOO_SHORT);
    EXPECT_EQ(context.position, 99);
    EXPECT_EQ(seven[0], 1);

    uint8_t field[8] = {};
    ASSERT_EQ(eproto_cipher_init(&context, field, 8, false), EPROTO_CIPHER_OK);
    EXPECT_EQ(context.position, 6);
    EXPECT_EQ(context.size, 8);

    context.position = 7;
    const Bytes before(seven, seven + 7);
    context.buffer = seven;
    EXPECT_EQ(eproto_cipher_decrypt(&context, kKeyBytes, kKey.size()), EPROTO_CIPHER_TOO_SHORT);
    EXPECT_EQ(Bytes(seven, seven + 7), before);

    // Filling draws different salts from one field to the next.
    int same = 0;
    for (int n = 0; n < 16; ++n) {
        uint8_t a[8], b[8];
        ASSERT_EQ(eproto_cipher_init(&context, a, 8, true), EPROTO_CIPHER_OK);
        ASSERT_EQ(eproto_cipher_init(&context, b, 8, true), EPROTO_CIPHER_OK);
        same += Bytes(a, a + 6) == Bytes(b, b + 6);
    }
    EXPECT_LT(same, 2);
}

TEST(PacketCipher, RoundTripEverySizeWithWrongKeyAndBitFlips) {
    int wrong_key_passed_first_check = 0;
    for (uint16_t size = 8; size <= EPROTO_MAX_DATA; ++size) {
        Bytes payload(size - 8);
        for (std::size_t n = 0; n < payload.size(); ++n) {
            payload[n] = static_cast<uint8_t>(n * 11 + size);
        }
        const Bytes sealed = Seal(payload);

        Bytes good = sealed;
        ASSERT_EQ(Open(good), EPROTO_CIPHER_OK) << "size " << size;
        EXPECT_EQ(Bytes(good.begin() + 6, good.end() - 2), payload);

        Bytes wrong = sealed;
        const int16_t result = Open(wrong, "qzy");
        EXPECT_TRUE(result == EPROTO_CIPHER_BAD_SALT_CHECK ||
                    result == EPROTO_CIPHER_BAD_FIELD_CHECK);
        wrong_key_passed_first_check += result == EPROTO_CIPHER_BAD_FIELD_CHECK;

        if (!payload.empty()) {
            Bytes flipped = sealed;
            flipped[6 + (size % payload.size())] ^= 0x04;
            EXPECT_EQ(Open(flipped), EPROTO_CIPHER_BAD_FIELD_CHECK) << "size " << size;
        }
    }
    EXPECT_LT(wrong_key_passed_first_check, 6); // about one in 256 by chance
}

TEST(PacketCipher, CryptIsItsOwnInverseAndFailureLeavesXoredBytes) {
    Bytes field = Seal({0x10, 0x20, 0x30});
    const Bytes original = field;
    eproto_cipher context;
    ASSERT_EQ(
        eproto_cipher_init(&context, field.data(), static_cast<uint16_t>(field.size()), false),
        EPROTO_CIPHER_OK);
    context.position = static_cast<uint16_t>(field.size());
    ASSERT_EQ(eproto_cipher_crypt(&context, kKeyBytes, kKey.size()), EPROTO_CIPHER_OK);
    EXPECT_NE(field, original);
    EXPECT_EQ(Bytes(field.begin(), field.begin() + 3),
              Bytes(original.begin(), original.begin() + 3));
    ASSERT_EQ(eproto_cipher_crypt(&context, kKeyBytes, kKey.size()), EPROTO_CIPHER_OK);
    EXPECT_EQ(field, original);

    Bytes plain_never_enciphered = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Bytes received = plain_never_enciphered;
    EXPECT_NE(Open(plain_never_enciphered), EPROTO_CIPHER_OK);
    EXPECT_NE(plain_never_enciphered, received);
    EXPECT_EQ(Bytes(plain_never_enciphered.begin(), plain_never_enciphered.begin() + 3),
              Bytes(received.begin(), received.begin() + 3));
}

TEST(PacketCipher, EmptyPayloadAndEmptyKey) {
    Bytes empty = Seal({});
    EXPECT_EQ(Open(empty), EPROTO_CIPHER_OK);
    Bytes field = Seal({1, 2, 3});
    EXPECT_EQ(Open(field, ""), EPROTO_CIPHER_TOO_SHORT);
}

} // namespace

} // namespace velkor
