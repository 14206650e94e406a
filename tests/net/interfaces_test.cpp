// Address texts and the local interface list.
#include "tests/net/NetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velkor {

using namespace nettest;

namespace {
uint32_t Ip(const char* text) {
    return KVT_ParseIPv4NetworkOrder(text).value();
}
} // namespace

TEST(IPv4Text, OnlyDottedDecimalAddressesParse) {
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(Ip("192.168.0.17")), "192.168.0.17");
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(Ip("0.0.0.0")), "0.0.0.0");
    EXPECT_EQ(Ip("255.255.255.255"), 0xFFFFFFFFu);
    // Network byte order: the first octet comes first in memory.
    const uint32_t ip = Ip("1.2.3.4");
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&ip)[0], 1);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&ip)[3], 4);
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(Ip("010.001.000.009")),
              "10.1.0.9"); // decimal, not octal

    for (const char* bad :
         {"", "controller", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", " 1.2.3.4", "1..2.3",
          "1.2.3.", "-1.2.3.4", "+1.2.3.4", "0x7f.0.0.1", "1.2.3.0004", "1.2.3.4\n"}) {
        EXPECT_FALSE(KVT_ParseIPv4NetworkOrder(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(NetworkInterfaces, AddressArithmetic) {
    const tNetworkInterface lan =
        MakeNetworkInterface("DESK", Ip("192.168.1.10"), Ip("255.255.255.0"), Ip("255.255.255.255"),
                             sockplat::kIfUp | sockplat::kIfBroadcast);
    EXPECT_EQ(lan.Name, "DESK");
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(lan.NetAddress), "192.168.1.0");
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(lan.DirectedBroadcast), "192.168.1.255");
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(lan.LimitedBroadcast), "255.255.255.255");
    EXPECT_TRUE(lan.IsUp);
    EXPECT_TRUE(lan.CanBroadcast);
    EXPECT_FALSE(lan.IsLoopback);

    const tNetworkInterface wide =
        MakeNetworkInterface("", Ip("10.20.30.40"), Ip("255.240.0.0"), 0, sockplat::kIfLoopback);
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(wide.NetAddress), "10.16.0.0");
    EXPECT_EQ(KVT_IPv4TextFromNetworkOrder(wide.DirectedBroadcast), "10.31.255.255");
    EXPECT_FALSE(wide.IsUp);
    EXPECT_FALSE(wide.CanBroadcast);
    EXPECT_TRUE(wide.IsLoopback);
}

TEST(NetworkInterfaces, ThisMachineListsItsLoopback) {
    tNetworkInterfaceList list(3); // stale entries are dropped
    ASSERT_TRUE(GetNetworkInterfaces(list));
    const auto loopback = std::find_if(list.begin(), list.end(), [](const tNetworkInterface& e) {
        return e.IP == Ip("127.0.0.1");
    });
    ASSERT_NE(loopback, list.end());
    EXPECT_TRUE(loopback->IsLoopback);
    EXPECT_TRUE(loopback->IsUp);
    EXPECT_EQ(loopback->NetAddress, loopback->IP & loopback->Mask);
    for (const tNetworkInterface& entry : list) {
        EXPECT_NE(entry.IP, 0u);
        EXPECT_EQ(entry.Name, list.front().Name);
    }
    // Without a route for it (a private namespace) the system names no
    // source; with one, the source is an interface that is up.
    if (const auto source = LimitedBroadcastSource()) {
        EXPECT_TRUE(std::any_of(list.begin(), list.end(), [&](const tNetworkInterface& entry) {
            return entry.IP == *source && entry.IsUp;
        })) << KVT_IPv4TextFromNetworkOrder(*source);
    }
}

} // namespace velkor
