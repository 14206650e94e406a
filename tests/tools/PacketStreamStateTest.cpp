// The stream cutter, the settings store and the state file, without sockets
// except for the restart test.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "protocol/ControllerContract.h"
#include "protocol/PacketStream.h"
#include "tests/tools/TestClient.h"
#include "tools/SimSettings.h"
#include "tools/SimStateFile.h"
#include "tools/SimulatedFleet.h"

using namespace std::chrono_literals;
using simtest::Packet;

namespace {

std::vector<uint8_t> CodesOf(velkor::PacketStream& cutter, const std::string& bytes,
                             std::size_t chunk) {
    std::vector<uint8_t> codes;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        cutter.Feed(std::string_view(bytes).substr(at, chunk),
                    [&](const velkor::eproto_header& header) { codes.push_back(header.code); });
    }
    return codes;
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + name + "_" + std::to_string(::getpid());
}

} // namespace

TEST(PacketStream, FindsEveryPacketWhateverTheGarbageAndTheChunking) {
    std::string stream;
    for (uint8_t code = 1; code <= 5; ++code) {
        stream += std::string("\x2A\x2A junk \x2A", 9);
        stream +=
            simtest::Encode(Packet{velkor::contract::kQuack, 0, code, std::string(code * 20, 'd')});
    }
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, stream.size()}) {
        velkor::PacketStream cutter;
        EXPECT_EQ(CodesOf(cutter, stream, chunk), (std::vector<uint8_t>{1, 2, 3, 4, 5}))
            << "chunk " << chunk;
        EXPECT_EQ(cutter.SkippedBytes(), 45u);
        EXPECT_EQ(cutter.Backlog(), 0u);
    }
    // A header whose data never arrive right is left behind once the next
    // packet shows the data checksum fails.
    std::string broken = simtest::Encode(Packet{velkor::contract::kQuack, 0, 9, "abcdef"});
    broken.resize(10);
    velkor::PacketStream cutter;
    EXPECT_EQ(
        CodesOf(cutter, broken + simtest::Encode(Packet{velkor::contract::kQuack, 0, 7, {}}), 3),
        std::vector<uint8_t>{7});
}

TEST(PacketStream, EndlessGarbageKeepsTheBufferBounded) {
    velkor::PacketStream cutter;
    std::string garbage(100000, '\x2A'); // every byte looks like a start
    for (std::size_t i = 1; i < garbage.size(); i += 2) {
        garbage[i] = static_cast<char>(i);
    }
    EXPECT_TRUE(CodesOf(cutter, garbage, 4096).empty());
    EXPECT_LT(cutter.Backlog(), velkor::EPROTO_MAX_PACKET);
    EXPECT_EQ(CodesOf(cutter, simtest::Encode(Packet{velkor::contract::kQuack, 0, 4, {}}), 100),
              std::vector<uint8_t>{4});
}

TEST(SettingsStore, FactoryValuesAndWriteRules) {
    sim::ControllerIdentity identity{3, 0x7F000105, "127.0.1.5", sim::MacForIndex(3), 8081, 3052};
    sim::SettingsStore store(identity);
    const std::string net = *store.Find(velkor::contract::kItemNetConfig);
    ASSERT_EQ(net.size(), 24u);
    EXPECT_EQ(net.substr(0, 6), identity.mac);
    EXPECT_EQ(net.substr(6, 4), std::string("\x7F\x00\x01\x05", 4));
    EXPECT_EQ(net.substr(18), std::string("\xEC\x0B\x91\x1F\x50\x00", 6));
    EXPECT_TRUE(store.Changed().empty());

    EXPECT_FALSE(store.Write(velkor::contract::kItemLanguage, "\x01\x02"));
    EXPECT_FALSE(store.Write(99, "\x01"));
    EXPECT_TRUE(store.Write(velkor::contract::kItemLockersList, std::string(81, '\0')));
    EXPECT_TRUE(store.Write(velkor::contract::kItemAuthFlags, std::string("\xCF\x03", 2)));
    EXPECT_FALSE(store.Write(velkor::contract::kItemAuthFlags, ""));
    const auto changed = store.Changed();
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].first, velkor::contract::kItemLockersList);
}

TEST(StateFile, WrittenSettingsSurviveARestartAndBadFilesAreReported) {
    const std::string path = TempPath("sim_state");
    std::remove(path.c_str());
    sim::FleetOptions options;
    options.count = 2;
    options.first_address = "127.0.10.2";
    options.udp_port = 0;
    options.tcp_port = 0;
    options.state_file = path;
    const std::string keys(98, '\x11');
    {
        sim::SimulatedFleet fleet(options);
        ASSERT_TRUE(fleet.Start());
        simtest::TcpClient client;
        ASSERT_TRUE(client.Connect(fleet.Address(1), fleet.TcpPort(1)));
        client.Send(simtest::Encode(
            Packet{velkor::contract::kSettingsWrite, 0, 0, std::string(1, '\x20') + keys}));
        ASSERT_TRUE(fleet.WaitForReceived(1, velkor::contract::kSettingsWrite, 2s));
        // Saved at once, before any orderly stop.
        std::vector<sim::SavedSetting> saved;
        std::string error;
        ASSERT_TRUE(sim::LoadStateFile(path, &saved, &error)) << error;
        ASSERT_EQ(saved.size(), 1u);
        EXPECT_EQ(saved[0].address, "127.0.10.3");
    }
    sim::SimulatedFleet restarted(options);
    ASSERT_TRUE(restarted.Start());
    EXPECT_EQ(restarted.Setting(1, velkor::contract::kItemSectorKeys), keys);
    EXPECT_NE(restarted.Setting(0, velkor::contract::kItemSectorKeys), keys);
    restarted.Stop();

    std::ofstream(path, std::ios::app) << "127.0.10.2 nine 00\n";
    sim::SimulatedFleet broken(options);
    std::string error;
    EXPECT_FALSE(broken.Start(&error));
    EXPECT_NE(error.find(":3: malformed line"), std::string::npos) << error;
    std::remove(path.c_str());
}
