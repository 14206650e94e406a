// Discovery and UDP commands against a fleet on loopback.
#include <gtest/gtest.h>

#include <set>

#include "base/IPv4Text.h"
#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "tests/tools/TestClient.h"
#include "tools/SimIdentity.h"
#include "tools/SimulatedFleet.h"

using namespace std::chrono_literals;
using simtest::Packet;

namespace {

constexpr const char* kLoopbackBroadcast = "127.255.255.255";

sim::FleetOptions LoopbackFleet(std::size_t count, const std::string& first) {
    sim::FleetOptions options;
    options.count = count;
    options.first_address = first;
    options.udp_port = 0;
    options.tcp_port = 0;
    return options;
}

std::string Le16(uint16_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

// Checks one discovery answer against the fleet; returns the index it came from.
std::optional<std::size_t> CheckAnswer(const sim::SimulatedFleet& fleet,
                                       const simtest::Reply& reply, uint8_t flags) {
    EXPECT_EQ(reply.packet.cmd, velkor::contract::kDiscoverReply);
    EXPECT_EQ(reply.packet.flags, flags);
    EXPECT_EQ(reply.from_port, fleet.UdpPort());
    const auto index = fleet.Find(reply.from_address);
    const auto items = simtest::DiscoveryItems(reply.packet.data);
    if (!index || !items) {
        ADD_FAILURE() << "answer from " << reply.from_address << " not from the fleet or malformed";
        return std::nullopt;
    }
    for (uint8_t tag = velkor::contract::kTagMac; tag <= velkor::contract::kTagText14; ++tag) {
        EXPECT_TRUE(items->count(tag)) << "tag " << int(tag);
    }
    EXPECT_EQ(items->at(velkor::contract::kTagMac), fleet.Mac(*index));
    EXPECT_EQ(items->at(velkor::contract::kTagAddress),
              sim::Ipv4Bytes(*base::ParseIPv4HostOrder(fleet.Address(*index))));
    EXPECT_EQ(items->at(velkor::contract::kTagTcpPort), Le16(fleet.TcpPort(*index)));
    return index;
}

} // namespace

TEST(FleetDiscovery, BroadcastAndUnicastAnswersCarryTheControllersOwnAddressAndPort) {
    sim::SimulatedFleet fleet(LoopbackFleet(3, "127.0.7.2"));
    std::string error;
    ASSERT_TRUE(fleet.Start(&error)) << error;
    simtest::UdpClient client;
    ASSERT_TRUE(client.SendTo(kLoopbackBroadcast, fleet.UdpPort(),
                              simtest::Encode(Packet{velkor::contract::kDiscover, 3, 0, {}})));
    std::set<std::size_t> answered;
    for (int i = 0; i < 3; ++i) {
        const auto reply = client.Receive(2s);
        ASSERT_TRUE(reply) << "only " << answered.size() << " answers";
        if (const auto index = CheckAnswer(fleet, *reply, 3)) {
            answered.insert(*index);
        }
    }
    EXPECT_EQ(answered.size(), 3u);
    EXPECT_EQ(fleet.Received(0).at(0).transport, sim::Transport::Udp);

    // Addressed to one controller, only that one answers.
    ASSERT_TRUE(client.SendTo(fleet.Address(1), fleet.UdpPort(),
                              simtest::Encode(Packet{velkor::contract::kDiscover, 1, 0, {}})));
    const auto reply = client.Receive(2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(CheckAnswer(fleet, *reply, 1), 1u);
    EXPECT_FALSE(client.Receive(200ms)) << "a second controller answered a unicast";
    // Distinct ports were chosen for the controllers' TCP listeners.
    EXPECT_NE(fleet.TcpPort(0), fleet.TcpPort(1));
}

TEST(FleetDiscovery, OnlyTheFleetsBroadcastReachesAllAndADatagramIsOnePacket) {
    sim::SimulatedFleet fleet(LoopbackFleet(3, "127.0.11.2"));
    std::string error;
    ASSERT_TRUE(fleet.Start(&error)) << error;
    simtest::UdpClient client;
    const auto discover = [](uint8_t flags) {
        return simtest::Encode(Packet{velkor::contract::kDiscover, flags, 0, {}});
    };
    // 127.0.11.255 merely ends in .255: on the fleet's /8 it is an address of
    // nobody's, so the unicast sent after it is the first thing answered.
    ASSERT_TRUE(client.SendTo("127.0.11.255", fleet.UdpPort(), discover(2)));
    ASSERT_TRUE(client.SendTo(fleet.Address(0), fleet.UdpPort(), discover(1)));
    auto reply = client.Receive(2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(CheckAnswer(fleet, *reply, 1), 0u);

    // Two packets in one broadcast datagram: every controller answers the
    // first only, and the keep-alive sent after it is answered next.
    const std::string keep_alive = simtest::Encode(Packet{velkor::contract::kKeepAlive, 3, 0, {}});
    ASSERT_TRUE(client.SendTo(kLoopbackBroadcast, fleet.UdpPort(), discover(2) + keep_alive));
    ASSERT_TRUE(client.SendTo(fleet.Address(2), fleet.UdpPort(), keep_alive));
    std::set<std::size_t> answered;
    for (int i = 0; i < 3; ++i) {
        reply = client.Receive(2s);
        ASSERT_TRUE(reply);
        if (const auto index = CheckAnswer(fleet, *reply, 2)) {
            answered.insert(*index);
        }
    }
    EXPECT_EQ(answered.size(), 3u);
    reply = client.Receive(2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->packet.cmd, velkor::contract::kKeepAliveReply);
    EXPECT_EQ(reply->from_address, fleet.Address(2));
    EXPECT_EQ(fleet.Received(1).size(), 1u);
}

TEST(FleetDiscovery, NetworkRecordIsReadAndWrittenByUdp) {
    sim::SimulatedFleet fleet(LoopbackFleet(2, "127.0.7.20"));
    ASSERT_TRUE(fleet.Start());
    simtest::UdpClient client;
    const std::string item(1, static_cast<char>(velkor::contract::kItemNetConfig));
    client.SendTo(fleet.Address(1), fleet.UdpPort(),
                  simtest::Encode(Packet{velkor::contract::kSettingsRead, 2, 0, item}));
    const auto reply = client.Receive(2s);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->from_address, fleet.Address(1));
    ASSERT_EQ(reply->packet.cmd, velkor::contract::kSettingsData);
    ASSERT_EQ(reply->packet.data.size(), 25u);
    const std::string record = reply->packet.data.substr(1);
    EXPECT_EQ(record.substr(0, 6), fleet.Mac(1));
    EXPECT_EQ(record.substr(6, 4), sim::Ipv4Bytes(*base::ParseIPv4HostOrder(fleet.Address(1))));
    EXPECT_EQ(record.substr(20, 2), Le16(fleet.TcpPort(1)));

    std::string edited = record;
    edited[22] = 0x51; // debug port 81
    client.SendTo(fleet.Address(1), fleet.UdpPort(),
                  simtest::Encode(Packet{velkor::contract::kSettingsWrite, 2, 0, item + edited}));
    ASSERT_TRUE(fleet.WaitForReceived(1, velkor::contract::kSettingsWrite, 2s));
    EXPECT_EQ(fleet.Setting(1, velkor::contract::kItemNetConfig), edited);
    EXPECT_NE(fleet.Setting(0, velkor::contract::kItemNetConfig).substr(22), edited.substr(22));
}

TEST(FleetDiscovery, ThousandControllersGiveThousandDistinctWellFormedAnswers) {
    sim::SimulatedFleet fleet(LoopbackFleet(1000, "127.0.8.1"));
    std::string error;
    ASSERT_TRUE(fleet.Start(&error)) << error;
    ASSERT_EQ(fleet.Size(), 1000u);
    simtest::UdpClient client;
    ASSERT_TRUE(client.SendTo(kLoopbackBroadcast, fleet.UdpPort(),
                              simtest::Encode(Packet{velkor::contract::kDiscover, 3, 0, {}})));
    std::set<std::size_t> answered;
    for (int i = 0; i < 1000; ++i) {
        const auto reply = client.Receive(5s);
        ASSERT_TRUE(reply) << "only " << answered.size() << " answers";
        if (const auto index = CheckAnswer(fleet, *reply, 3)) {
            answered.insert(*index);
        }
    }
    EXPECT_EQ(answered.size(), 1000u);
}

TEST(FleetDiscovery, JitteredAnswersAllArrive) {
    auto options = LoopbackFleet(50, "127.0.7.40");
    options.discovery_jitter = 200ms;
    sim::SimulatedFleet fleet(options);
    ASSERT_TRUE(fleet.Start());
    simtest::UdpClient client;
    client.SendTo(kLoopbackBroadcast, fleet.UdpPort(),
                  simtest::Encode(Packet{velkor::contract::kDiscover, 3, 0, {}}));
    std::set<std::string> senders;
    while (senders.size() < 50) {
        const auto reply = client.Receive(3s);
        ASSERT_TRUE(reply) << "only " << senders.size() << " answers";
        senders.insert(reply->from_address);
    }
}

TEST(FleetDiscovery, StartFailsClearlyAndLeavesNothingOpen) {
    auto options = LoopbackFleet(1, "127.0.7.60");
    sim::SimulatedFleet first(options);
    ASSERT_TRUE(first.Start());
    options.tcp_port = first.TcpPort(0); // taken
    sim::SimulatedFleet second(options);
    std::string error;
    EXPECT_FALSE(second.Start(&error));
    EXPECT_NE(error.find("127.0.7.60"), std::string::npos) << error;
    EXPECT_FALSE(second.Running());

    sim::FleetOptions bad = LoopbackFleet(1, "127.0.7.300");
    sim::SimulatedFleet third(bad);
    EXPECT_FALSE(third.Start(&error));
    EXPECT_NE(error.find("127.0.7.300"), std::string::npos) << error;

    bad = LoopbackFleet(2, "127.255.255.254");
    sim::SimulatedFleet fourth(bad);
    EXPECT_FALSE(fourth.Start(&error));
}
