// The shared text helpers: what each parser takes and refuses.
#include "base/TextNumbers.h"
#include "base/IPv4Text.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using base::ParseSigned;
using base::ParseUnsigned;
using base::Radix;

TEST(TextNumbers, TrimsControlBytesAndSpacesOnly) {
    EXPECT_EQ(base::TrimBlanks("\t a b \r\n"), "a b");
    EXPECT_EQ(base::TrimBlanks(std::string_view("\0x\x1f", 3)), "x");
    EXPECT_EQ(base::TrimBlanks(" \t "), "");
    EXPECT_EQ(base::TrimBlanks("\xA0x\xA0"), "\xA0x\xA0"); // Windows-1251 no-break space is text
}

TEST(TextNumbers, UnsignedIsTheWholeTextWithinItsLimit) {
    EXPECT_EQ(ParseUnsigned("65535", 65535), 65535u);
    EXPECT_EQ(ParseUnsigned("010", 255), 10u); // decimal, never octal
    EXPECT_EQ(ParseUnsigned("18446744073709551615", UINT64_MAX), UINT64_MAX);
    EXPECT_EQ(ParseUnsigned("0x1F", 255, Radix::DecimalOrHex), 31u);
    EXPECT_EQ(ParseUnsigned("0XfF", 255, Radix::DecimalOrHex), 255u);
    EXPECT_EQ(ParseUnsigned("0", 0, Radix::DecimalOrHex), 0u);
    for (const char* bad :
         {"", "65536", "-1", "+1", " 1", "1 ", "1x", "0x10", "18446744073709551616"}) {
        EXPECT_FALSE(ParseUnsigned(bad, 65535)) << '"' << bad << '"';
    }
    for (const char* bad : {"0x", "0x-1", "0x+1", "0x0x1", "0x100", "x1"}) {
        EXPECT_FALSE(ParseUnsigned(bad, 255, Radix::DecimalOrHex)) << '"' << bad << '"';
    }
}

TEST(TextNumbers, SignedTakesOneSignAndItsRange) {
    EXPECT_EQ(ParseSigned("-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
    EXPECT_EQ(ParseSigned("+2147483647", INT32_MIN, INT32_MAX), INT32_MAX);
    EXPECT_EQ(ParseSigned("-9223372036854775808", INT64_MIN, INT64_MAX), INT64_MIN);
    EXPECT_EQ(ParseSigned("9223372036854775807", INT64_MIN, INT64_MAX), INT64_MAX);
    EXPECT_EQ(ParseSigned("-0", -1, 1), 0);
    for (const char* bad :
         {"", "+", "-", "+-1", "--1", "-+1", " 1", "1.0", "2147483648", "-2147483649"}) {
        EXPECT_FALSE(ParseSigned(bad, INT32_MIN, INT32_MAX)) << '"' << bad << '"';
    }
    EXPECT_FALSE(ParseSigned("9223372036854775808", INT64_MIN, INT64_MAX));
    EXPECT_FALSE(ParseSigned("-9223372036854775809", INT64_MIN, INT64_MAX));
}

TEST(TextNumbers, RealIsFiniteAndWhole) {
    EXPECT_EQ(base::ParseReal("1.5"), 1.5);
    EXPECT_EQ(base::ParseReal("2e3"), 2000.0);
    for (const char* bad : {"", "inf", "nan", "1.5s", " 1", "1e999"}) {
        EXPECT_FALSE(base::ParseReal(bad)) << '"' << bad << '"';
    }
}

TEST(IPv4Text, HostOrderPutsTheFirstOctetHighest) {
    EXPECT_EQ(base::ParseIPv4HostOrder("1.2.3.4"), 0x01020304u);
    EXPECT_EQ(base::ParseIPv4HostOrder("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(base::ParseIPv4HostOrder("010.001.000.009"), 0x0A010009u);
    EXPECT_EQ(base::IPv4TextFromHostOrder(0x7F000102u), "127.0.1.2");
    EXPECT_EQ(base::IPv4TextFromHostOrder(0), "0.0.0.0");
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.0004", "1..2.3", "1.2.3.",
                            " 1.2.3.4", "0x7f.0.0.1", "+1.2.3.4", "1.2.3.4\n"}) {
        EXPECT_FALSE(base::ParseIPv4HostOrder(bad)) << '"' << bad << '"';
    }
}

} // namespace
