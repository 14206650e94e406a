// The control commands and the program's options.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "protocol/ControllerContract.h"
#include "tests/tools/TestClient.h"
#include "tools/ControlCommands.h"
#include "tools/SimOptions.h"

using namespace std::chrono_literals;

TEST(ControlCommands, DriveTheFleetAndRejectBadInput) {
    sim::FleetOptions options;
    options.count = 2;
    options.first_address = "127.0.12.2";
    options.udp_port = 0;
    options.tcp_port = 0;
    sim::SimulatedFleet fleet(options);
    ASSERT_TRUE(fleet.Start());
    auto run = [&](const std::string& line) { return sim::ExecuteControlLine(fleet, line).text; };

    EXPECT_EQ(run("set 127.0.12.3 17 02"), "ok\n");
    EXPECT_EQ(run("get * 0x11"), "127.0.12.2 01\n127.0.12.3 02\nok\n");
    EXPECT_EQ(run("set 0 17 0102").rfind("error: item 17 refused", 0), 0u);
    EXPECT_EQ(run("get 2 17"), "error: no such controller\n");
    EXPECT_EQ(run("card 0 zz"), "error: usage: card <ctl> <hex> [flags] [code]\n");
    EXPECT_EQ(run("input 0 256"), "error: usage: input <ctl> <states>\n");
    EXPECT_EQ(run("frobnicate").rfind("error: unknown command", 0), 0u);
    EXPECT_TRUE(sim::ExecuteControlLine(fleet, "quit").quit);

    simtest::TcpClient client;
    ASSERT_TRUE(client.Connect(fleet.Address(1), fleet.TcpPort(1)));
    ASSERT_TRUE(fleet.WaitForConnections(1, 1, 2s));
    EXPECT_EQ(run("card 1 02A1B20000 2 4"), "ok 1\n");
    const auto card = client.ReadPacket(2s);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->cmd, velkor::contract::kCardRead);
    EXPECT_EQ(card->flags, 2);
    EXPECT_EQ(card->code, 4);
    EXPECT_EQ(card->data, std::string("\x02\xA1\xB2\x00\x00", 5));

    client.Send(simtest::Encode({velkor::contract::kQuack, 0, 0, "Q"}));
    ASSERT_TRUE(fleet.WaitForReceived(1, velkor::contract::kQuack, 2s));
    EXPECT_EQ(run("received 1"), "{\"controller\":\"127.0.12.3\",\"seq\":0,\"transport\":\"tcp\","
                                 "\"cmd\":13,\"flags\":0,\"code\":0,\"data\":\"51\"}\nok\n");
    EXPECT_EQ(run("clear 1"), "ok\n");
    EXPECT_EQ(run("received 1"), "ok\n");
}

TEST(ProgramOptions, HelpDocumentsEveryOptionTheParserTakes) {
    const std::string help = sim::ProgramHelp();
    const std::regex option("--[a-z-]+");
    std::set<std::string> documented;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
         it != std::sregex_iterator(); ++it) {
        documented.insert(it->str());
    }
    EXPECT_GE(documented.size(), 16u);
    for (const auto& name : documented) {
        sim::ProgramOptions parsed;
        std::string error;
        sim::ParseProgramOptions({name, "1"}, &parsed, &error);
        EXPECT_EQ(error.find("unknown option: " + name), std::string::npos) << error;
    }
    for (const char* command : {"list", "card", "input", "usart", "paneloff", "keepalive",
                                "interval", "get", "set", "received", "clear", "quit"}) {
        EXPECT_NE(help.find(std::string("  ") + command), std::string::npos) << command;
    }

    sim::ProgramOptions parsed;
    std::string error;
    ASSERT_TRUE(sim::ParseProgramOptions(
        {"--count", "10", "--tcp-port", "0", "--encipher", "--jitter", "250"}, &parsed, &error));
    EXPECT_EQ(parsed.fleet.count, 10u);
    EXPECT_EQ(parsed.fleet.tcp_port, 0);
    EXPECT_TRUE(parsed.fleet.encipher);
    EXPECT_EQ(parsed.fleet.discovery_jitter, 250ms);
    EXPECT_FALSE(sim::ParseProgramOptions({"--udp-port", "70000"}, &parsed, &error));
    EXPECT_EQ(error, "bad value for --udp-port: 70000");
    EXPECT_FALSE(sim::ParseProgramOptions({"--bogus"}, &parsed, &error));
    EXPECT_FALSE(sim::ParseProgramOptions({"--address", "1.2.3"}, &parsed, &error));
}
