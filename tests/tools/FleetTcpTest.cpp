// The TCP session of a simulated controller, driven by a real client.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "tests/tools/TestClient.h"
#include "tools/SimulatedFleet.h"

using namespace std::chrono_literals;
using simtest::Packet;

namespace {

sim::FleetOptions OneController(const std::string& address) {
    sim::FleetOptions options;
    options.first_address = address;
    options.udp_port = 0;
    options.tcp_port = 0;
    return options;
}

std::string Item(uint8_t item, const std::string& value = {}) {
    return std::string(1, static_cast<char>(item)) + value;
}

// Deciphers an enciphered field; the payload, or nothing when a check fails.
std::optional<std::string> Decipher(std::string field, const std::string& key) {
    velkor::eproto_cipher context;
    if (velkor::eproto_cipher_init(&context, reinterpret_cast<uint8_t*>(field.data()),
                                   static_cast<uint16_t>(field.size()), false) != 0) {
        return std::nullopt;
    }
    context.position = static_cast<uint16_t>(field.size());
    if (velkor::eproto_cipher_decrypt(&context, reinterpret_cast<const uint8_t*>(key.data()),
                                      key.size()) != 0) {
        return std::nullopt;
    }
    return field.substr(velkor::EPROTO_CIPHER_PAYLOAD_OFFSET,
                        field.size() - velkor::EPROTO_CIPHER_OVERHEAD);
}

class FleetTcp : public ::testing::Test {
protected:
    void Open(sim::FleetOptions options) {
        fleet_ = std::make_unique<sim::SimulatedFleet>(std::move(options));
        std::string error;
        ASSERT_TRUE(fleet_->Start(&error)) << error;
        ASSERT_TRUE(client_.Connect(fleet_->Address(0), fleet_->TcpPort(0)));
        ASSERT_TRUE(fleet_->WaitForConnections(0, 1, 2s));
    }
    std::optional<Packet> Ask(const Packet& request) {
        EXPECT_TRUE(client_.Send(simtest::Encode(request)));
        return client_.ReadPacket(2s);
    }

    std::unique_ptr<sim::SimulatedFleet> fleet_;
    simtest::TcpClient client_;
};

} // namespace

TEST_F(FleetTcp, WriteThenReadReturnsTheWrittenValueAndBadWritesAreRefused) {
    Open(OneController("127.0.9.2"));
    const std::string time{0x10, 0x27, 0x00, 0x00}; // 10000 ms
    ASSERT_TRUE(
        client_.Send(simtest::Encode(Packet{velkor::contract::kSettingsWrite, 0, 0,
                                            Item(velkor::contract::kItemRelayOpenTime, time)})));
    auto reply = Ask(
        Packet{velkor::contract::kSettingsRead, 1, 0, Item(velkor::contract::kItemRelayOpenTime)});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->cmd, velkor::contract::kSettingsData);
    EXPECT_EQ(reply->flags, 1);
    EXPECT_EQ(reply->data, Item(velkor::contract::kItemRelayOpenTime, time));

    // Three bytes for a four-byte item change nothing.
    client_.Send(simtest::Encode(Packet{velkor::contract::kSettingsWrite, 0, 0,
                                        Item(velkor::contract::kItemRelayOpenTime, "abc")}));
    reply = Ask(
        Packet{velkor::contract::kSettingsRead, 0, 0, Item(velkor::contract::kItemRelayOpenTime)});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data, Item(velkor::contract::kItemRelayOpenTime, time));

    // Every documented item answers at its documented length.
    const std::pair<uint8_t, std::size_t> lengths[] = {
        {velkor::contract::kItemNetConfig, 24},   {velkor::contract::kItemSectorKeys, 98},
        {velkor::contract::kItemLockersList, 97}, {velkor::contract::kItemAuthFlags, 2},
        {velkor::contract::kItemUsartFlags, 12},  {velkor::contract::kItemDbWaitTimeout, 2},
        {velkor::contract::kItemLanguage, 1},     {velkor::contract::kItemRelayHoldFlags, 1}};
    for (const auto& [item, length] : lengths) {
        reply = Ask(Packet{velkor::contract::kSettingsRead, 0, 0, Item(item)});
        ASSERT_TRUE(reply) << int(item);
        EXPECT_EQ(reply->data.size(), length + 1) << int(item);
    }
    // An item the controller does not have answers with the item byte alone.
    reply = Ask(Packet{velkor::contract::kSettingsRead, 0, 0, Item(99)});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data, Item(99));
}

TEST_F(FleetTcp, KeepAliveAndDisplayAreAnsweredAndEveryCommandIsRecorded) {
    Open(OneController("127.0.9.3"));
    fleet_->SetInputStates(0, 0x05);
    auto reply = Ask(Packet{velkor::contract::kKeepAlive, 2, 0, std::string{10, 0, 15, 0}});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->cmd, velkor::contract::kKeepAliveReply);
    EXPECT_EQ(reply->code, 0x05);
    EXPECT_EQ(reply->flags, 2);
    reply = Ask(Packet{velkor::contract::kDisplay, 0, 0, std::string{3, 2, 'h', 'i'}});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->cmd, velkor::contract::kDisplayReply);

    const std::size_t from = fleet_->NextSequence(0);
    client_.Send(simtest::Encode(Packet{velkor::contract::kRelayPulse, 0, 0xC4, {}}));
    client_.Send(simtest::Encode(Packet{velkor::contract::kReset, 0, 0, std::string(1, 0x03)}));
    const auto reset = fleet_->WaitForReceived(0, velkor::contract::kReset, 2s, from);
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->data, std::string(1, 0x03));
    EXPECT_EQ(reset->transport, sim::Transport::Tcp);
    const auto records = fleet_->Received(0);
    ASSERT_GE(records.size(), 4u);
    EXPECT_EQ(records[records.size() - 2].cmd, velkor::contract::kRelayPulse);
    EXPECT_EQ(records[records.size() - 2].code, 0xC4);
    EXPECT_EQ(sim::RecordToJson("127.0.9.3", records.back()),
              "{\"controller\":\"127.0.9.3\",\"seq\":" + std::to_string(records.back().sequence) +
                  ",\"transport\":\"tcp\",\"cmd\":41,\"flags\":0,\"code\":0,\"data\":\"03\"}");
    EXPECT_FALSE(fleet_->WaitForReceived(0, velkor::contract::kQuack, 50ms));
}

TEST_F(FleetTcp, GarbageBetweenPacketsIsSkipped) {
    Open(OneController("127.0.9.4"));
    const std::string first = simtest::Encode(Packet{velkor::contract::kQuack, 0, 1, {}});
    std::string fake = simtest::Encode(Packet{velkor::contract::kQuack, 0, 2, "xyz"});
    fake[9] ^= 0x01; // data checksum no longer matches
    const std::string last = simtest::Encode(Packet{velkor::contract::kQuack, 0, 3, {}});
    const std::string stream =
        std::string("\x00\xFF**garbage", 11) + first + fake + "\x2A\x07" + last.substr(0, 3);
    ASSERT_TRUE(client_.Send(stream));
    ASSERT_TRUE(client_.Send(last.substr(3)));
    const auto third = fleet_->WaitForReceived(0, velkor::contract::kQuack, 2s, 1);
    ASSERT_TRUE(third);
    const auto records = fleet_->Received(0);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].code, 1);
    EXPECT_EQ(records[1].code, 3);
}

TEST_F(FleetTcp, EncipheredAnswersDecipherWithBothCheckBytes) {
    auto options = OneController("127.0.9.5");
    options.encipher = true;
    Open(options);
    const auto reply =
        Ask(Packet{velkor::contract::kSettingsRead, 0, 0, Item(velkor::contract::kItemSectorKeys)});
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->data.size(), 99u + velkor::EPROTO_CIPHER_OVERHEAD);
    EXPECT_EQ(Decipher(reply->data, velkor::contract::kPacketKey),
              Item(velkor::contract::kItemSectorKeys,
                   fleet_->Setting(0, velkor::contract::kItemSectorKeys)));
    EXPECT_FALSE(Decipher(reply->data, "abc"));

    ASSERT_EQ(fleet_->SendCardRead(0, std::string{4, 1, 2, 3, 4, 0, 1}), 1u);
    const auto card = client_.ReadPacket(2s);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->cmd, velkor::contract::kCardRead);
    EXPECT_EQ(Decipher(card->data, velkor::contract::kPacketKey),
              (std::string{4, 1, 2, 3, 4, 0, 1}));

    simtest::UdpClient udp;
    udp.SendTo(fleet_->Address(0), fleet_->UdpPort(),
               simtest::Encode(Packet{velkor::contract::kDiscover, 3, 0, {}}));
    const auto answer = udp.Receive(2s);
    ASSERT_TRUE(answer);
    const auto payload = Decipher(answer->packet.data, velkor::contract::kPacketKey);
    ASSERT_TRUE(payload);
    const auto items = simtest::DiscoveryItems(*payload);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->at(velkor::contract::kTagMac), fleet_->Mac(0));
}

TEST_F(FleetTcp, ControllerSendsEventsAndKeepAlivesOnItsOwn) {
    Open(OneController("127.0.9.6"));
    ASSERT_EQ(fleet_->SendInputState(0, 0x03), 1u);
    auto packet = client_.ReadPacket(2s);
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->cmd, velkor::contract::kInputState);
    EXPECT_EQ(packet->code, 0x03);
    fleet_->SendUsartData(0, "serial");
    packet = client_.ReadPacket(2s);
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->cmd, velkor::contract::kUsartData);
    EXPECT_EQ(packet->data, "serial");
    fleet_->SendCardPanelOff(0);
    packet = client_.ReadPacket(2s);
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->cmd, velkor::contract::kCardPanelOff);
    EXPECT_EQ(fleet_->SendCardRead(0, std::string(136, 'x')), 0u) << "oversized data was sent";

    fleet_->SetKeepAliveInterval(30ms);
    for (int i = 0; i < 2; ++i) {
        packet = client_.ReadPacket(2s);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->cmd, velkor::contract::kKeepAlive);
        EXPECT_EQ(packet->code, 0x03); // the states set above
    }
}

TEST_F(FleetTcp, MisbehavingClientsCannotGrowOrStallTheSimulator) {
    auto options = OneController("127.0.9.7");
    options.max_connections = 2;
    Open(options);
    {
        // A third connection beyond the limit is closed at once.
        simtest::TcpClient second;
        simtest::TcpClient third;
        ASSERT_TRUE(second.Connect(fleet_->Address(0), fleet_->TcpPort(0)));
        ASSERT_TRUE(third.Connect(fleet_->Address(0), fleet_->TcpPort(0)));
        EXPECT_TRUE(third.WaitClosed(2s));
    }
    // A flood of requests whose answers are never read.
    const std::string request = simtest::Encode(
        Packet{velkor::contract::kSettingsRead, 0, 0, Item(velkor::contract::kItemSectorKeys)});
    std::string burst;
    for (int i = 0; i < 100; ++i) {
        burst += request;
    }
    for (int i = 0; i < 20000; ++i) {
        if (::send(client_.fd(), burst.data(), burst.size(), MSG_DONTWAIT | MSG_NOSIGNAL) < 0) {
            break; // the simulator stopped reading: back-pressure, not growth
        }
    }
    // Unsolicited messages to a client that never reads end in a drop.
    for (int i = 0; i < 200000 && fleet_->ConnectionCount(0) > 0; ++i) {
        fleet_->SendCardRead(0, std::string(100, 'c'));
    }
    EXPECT_EQ(fleet_->ConnectionCount(0), 0u);
    // A new client is served as before.
    simtest::TcpClient fresh;
    ASSERT_TRUE(fresh.Connect(fleet_->Address(0), fleet_->TcpPort(0)));
    ASSERT_TRUE(fresh.Send(simtest::Encode(Packet{velkor::contract::kDisplay, 0, 0, {}})));
    const auto packet = fresh.ReadPacket(2s);
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->cmd, velkor::contract::kDisplayReply);
}
