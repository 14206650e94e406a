#include "protocol/ControllerContract.h"
#include "tests/session/ReaderFixture.h"
#include "tools/SimulatedFleet.h"

#include <algorithm>

namespace velkor {

using namespace std::chrono_literals;

namespace {

sim::FleetOptions LoopbackFleet(std::size_t count, bool encipher) {
    sim::FleetOptions options;
    options.count = count;
    options.first_address = "127.0.0.2";
    options.udp_port = 0;
    options.tcp_port = 0;
    options.encipher = encipher;
    return options;
}

} // namespace

using ReaderWithFleet = ReaderFixture;

TEST_F(ReaderWithFleet, DiscoveryFindsEveryControllerAndASessionCarriesCommands) {
    sim::SimulatedFleet fleet(LoopbackFleet(12, true));
    std::string error;
    ASSERT_TRUE(fleet.Start(&error)) << error;
    StartReader("qzx", fleet.UdpPort());

    reader->Discover();
    ASSERT_TRUE(Pump([&] { return devices.size() == fleet.Size(); })) << devices.size();
    for (std::size_t i = 0; i < fleet.Size(); ++i) {
        const auto found = std::find_if(devices.begin(), devices.end(), [&](const auto& device) {
            return device.Items.IPText == fleet.Address(i);
        });
        ASSERT_NE(found, devices.end()) << fleet.Address(i);
        EXPECT_EQ(found->Items.TCPPort, fleet.TcpPort(i));
        EXPECT_EQ(found->Items.MAC, fleet.Mac(i));
    }
    const auto request = fleet.WaitForReceived(0, contract::kDiscover, 1s);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->transport, sim::Transport::Udp);
    EXPECT_EQ(request->flags, 3);

    const std::size_t target = 5;
    ASSERT_TRUE(reader->Connect(fleet.Address(target), fleet.TcpPort(target), 3000));
    const std::size_t from = fleet.NextSequence(target);
    reader->SendCommand(contract::kQuack, 0, 0);
    const auto quack = fleet.WaitForReceived(target, contract::kQuack, 2s, from);
    ASSERT_TRUE(quack);
    EXPECT_EQ(quack->transport, sim::Transport::Tcp);

    // A card read that the controller sends enciphered arrives deciphered.
    packets.clear();
    ASSERT_EQ(fleet.SendCardRead(target, "0AF1C2D3E4"), 1u);
    ASSERT_TRUE(Pump([&] {
        return std::any_of(packets.begin(), packets.end(),
                           [](const auto& packet) { return packet.cmd == contract::kCardRead; });
    }));
    const auto card = std::find_if(packets.begin(), packets.end(), [](const auto& packet) {
        return packet.cmd == contract::kCardRead;
    });
    EXPECT_TRUE(card->Decrypted);
    EXPECT_EQ(card->data, "0AF1C2D3E4");

    EXPECT_TRUE(reader->Disconnect(1000));
    EXPECT_TRUE(main.ProcessUntil([&] { return fleet.ConnectionCount(target) == 0; }, 5s));
    EXPECT_TRUE(errors.empty());
}

} // namespace velkor
