// velkor-cli against a simulated fleet on loopback: every subcommand, its JSON
// read back, backup and restore, dry runs, batches with an unreachable
// controller, and values refused before anything is sent.
#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "tools/SimulatedFleet.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace velkor {

using namespace std::chrono_literals;
using nlohmann::json;

namespace {

struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

class CliWithFleet : public ::testing::Test {
protected:
    void SetUp() override {
        sim::FleetOptions options;
        options.count = 3;
        options.first_address = "127.0.11.2";
        options.udp_port = 0;
        options.tcp_port = 0;
        fleet = std::make_unique<sim::SimulatedFleet>(options);
        std::string error;
        ASSERT_TRUE(fleet->Start(&error)) << error;
        folder = std::filesystem::temp_directory_path() /
                 ("velkor-cli-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Host(std::size_t k) const {
        return fleet->Address(k) + ":" + std::to_string(fleet->TcpPort(k));
    }

    CliRun Cli(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"--udp-port", std::to_string(fleet->UdpPort()), "--timeout", "1"});
        const cli::ParseResult parsed = cli::ParseCommandLine(arguments);
        CliRun run;
        if (parsed.Status != cli::ParseStatus::Run) {
            run.status = parsed.Status == cli::ParseStatus::Error ? 2 : 0;
            (run.status == 0 ? run.out : run.err) = parsed.Text;
            return run;
        }
        std::ostringstream out, err;
        run.status = cli::RunCommand(parsed.Options, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    // Every readable item of controller k as item -> hex.
    std::map<int, std::string> Settings(std::size_t k) {
        const CliRun run = Cli({"--json", "get", Host(k), "all"});
        EXPECT_EQ(run.status, 0) << run.err;
        std::map<int, std::string> items;
        const json document = json::parse(run.out);
        for (const json& item : document.at("items")) {
            items[item.at("item").get<int>()] = item.at("hex").get<std::string>();
        }
        return items;
    }

    std::unique_ptr<sim::SimulatedFleet> fleet;
    std::filesystem::path folder;
};

} // namespace

TEST_F(CliWithFleet, DiscoverGetSetAndSendOnOneController) {
    const CliRun found = Cli({"discover", "--broadcast", "127.255.255.255", "--json"});
    ASSERT_EQ(found.status, 0) << found.err;
    const json answers = json::parse(found.out);
    ASSERT_EQ(answers.size(), 3u);
    for (const json& answer : answers) {
        const auto k = fleet->Find(answer.at("ip").get<std::string>());
        ASSERT_TRUE(k);
        EXPECT_EQ(answer.at("tcp_port"), fleet->TcpPort(*k));
        EXPECT_EQ(answer.at("mac"), eproto_bytes_to_hex(fleet->Mac(*k), "-"));
        EXPECT_EQ(answer.at("type"), "DEDIV_EZ");
    }
    const CliRun csv = Cli({"discover", "--broadcast", "127.255.255.255", "--csv"});
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 4) << csv.out;

    // A record changed field by field, a choice by name, read back as JSON.
    CliRun set = Cli({"set", Host(0), "network", "ip=10.1.2.3", "tcp_port=9000"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(fleet->Setting(0, contract::kItemNetConfig).substr(6, 4), "\x0A\x01\x02\x03");
    ASSERT_EQ(Cli({"set", Host(0), "language", "ENG"}).status, 0);
    const CliRun get = Cli({"--json", "get", Host(0), "language", "19"});
    ASSERT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(json::parse(get.out).at("items").at(0).at("value"), "ENG");
    // The window's write-back: 9, then 34, 36, 19 with the same flags.
    const std::size_t from = fleet->NextSequence(1);
    ASSERT_EQ(Cli({"set", Host(1), "debug-flags", "no_splash_glyph=1"}).status, 0);
    std::vector<int> commands;
    for (const auto& record : fleet->Received(1)) {
        if (record.sequence >= from && record.cmd != contract::kSettingsRead &&
            record.cmd != contract::kKeepAlive) {
            commands.push_back(record.cmd);
        }
    }
    EXPECT_EQ(commands, (std::vector<int>{9, 34, 36, 19}));
    EXPECT_EQ(fleet->Setting(1, contract::kItemDebugFlags), "\x80");

    const std::size_t beep_from = fleet->NextSequence(2);
    ASSERT_EQ(Cli({"send", Host(2), "beep"}).status, 0);
    const auto beep = fleet->WaitForReceived(2, contract::kDisplay, 1s, beep_from);
    ASSERT_TRUE(beep);
    EXPECT_EQ(eproto_bytes_to_hex(beep->data), "010600A00F9600FF");

    // Wrong length or range: refused with the reason, nothing sent at all.
    const std::size_t quiet = fleet->NextSequence(2);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"db-wait-timeout", "70000"},
                                               {"usart", "baud=20"},
                                               {"network", "ip=10.1.2"},
                                               {"sector-keys", "key3=FFFF"},
                                               {"lockers", "3:Trailer"},
                                               {"lockers", "5:Sixteen bytes 12"},
                                               {"language", "KLINGON"},
                                               {"48", "hex:0102"}}) {
        std::vector<std::string> arguments = {"set", Host(2)};
        arguments.insert(arguments.end(), bad.begin(), bad.end());
        const CliRun refused = Cli(arguments);
        EXPECT_EQ(refused.status, 2) << bad[0];
        EXPECT_NE(refused.err.find("velkor-cli: "), std::string::npos) << refused.err;
    }
    EXPECT_EQ(Cli({"send", Host(2), "relay", "5"}).status, 2);
    EXPECT_EQ(fleet->NextSequence(2), quiet);
    EXPECT_EQ(fleet->ConnectionCount(2), 0u);
}

TEST_F(CliWithFleet, BackupThenRestoreOntoAnotherControllerGivesIdenticalSettings) {
    ASSERT_EQ(Cli({"set", Host(0), "lockers", "62:Шкаф,33:Сейф"}).status, 0);
    ASSERT_EQ(Cli({"set", Host(0), "relay-open-time", "1500"}).status, 0);
    ASSERT_EQ(Cli({"set", Host(0), "sector-keys", "key0=A0A1A2A3A4A5", "key_b_mask=5"}).status, 0);
    ASSERT_EQ(Cli({"set", Host(1), "usart", "plan=mterm", "baud=19200"}).status, 0);

    const std::string plain = (folder / "plain.json").string();
    const std::string keyed = (folder / "keyed.json").string();
    ASSERT_EQ(Cli({"backup", Host(0), "-o", plain}).status, 0);
    ASSERT_EQ(Cli({"backup", Host(0), "-o", keyed, "--include-keys"}).status, 0);
    struct stat info {};
    ASSERT_EQ(::stat(keyed.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::ifstream plain_file(plain);
    const json document = json::parse(plain_file);
    EXPECT_EQ(document.at("schema_version"), 1);
    for (const json& item : document.at("items")) {
        EXPECT_NE(item.at("item"), contract::kItemSectorKeys) << "keys left out by default";
    }

    // A dry run shows the difference and writes nothing.
    const std::size_t from = fleet->NextSequence(1);
    const CliRun dry = Cli({"restore", Host(1), keyed, "--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("+ 33 lockers: rows=6 lockers=62:Шкаф,33:Сейф"), std::string::npos)
        << dry.out;
    EXPECT_NE(dry.out.find("(other keys)"), std::string::npos);
    EXPECT_EQ(dry.out.find("A0A1A2A3A4A5"), std::string::npos) << "keys are not shown";
    EXPECT_FALSE(fleet->WaitForReceived(1, contract::kSettingsWrite, 300ms, from));

    const CliRun restored = Cli({"restore", Host(1), keyed});
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(Settings(1), Settings(0));
    EXPECT_NE(Cli({"restore", Host(1), keyed}).out.find("0 items written"), std::string::npos);

    std::ofstream(folder / "future.json") << R"({"schema":"velkor-cli settings backup",)"
                                             R"("schema_version":2,"items":[]})";
    const CliRun future = Cli({"restore", Host(1), (folder / "future.json").string()});
    EXPECT_EQ(future.status, 2);
    EXPECT_NE(future.err.find("schema version 2"), std::string::npos) << future.err;
}

TEST_F(CliWithFleet, BatchServesEveryControllerAndAnUnreachableOneFailsAlone) {
    const std::string hosts = (folder / "hosts").string();
    std::ofstream(hosts) << "# site A\n"
                         << Host(0) << "\n127.0.0.1:1\n"
                         << Host(1) << "\n"
                         << Host(2) << "\n";
    const CliRun batch =
        Cli({"--json", "--hosts", hosts, "-j", "3", "backup", "-o", folder.string()});
    EXPECT_EQ(batch.status, 1);
    std::istringstream lines(batch.out);
    std::map<std::string, bool> results;
    for (std::string line; std::getline(lines, line);) {
        const json result = json::parse(line);
        results[result.at("controller")] = result.at("ok");
    }
    EXPECT_EQ(results,
              (std::map<std::string, bool>{
                  {Host(0), true}, {"127.0.0.1:1", false}, {Host(1), true}, {Host(2), true}}));
    EXPECT_TRUE(std::filesystem::exists(
        folder / (fleet->Address(2) + "_" + std::to_string(fleet->TcpPort(2)) + ".json")));

    const CliRun all =
        Cli({"--all", "--broadcast", "127.255.255.255", "-j", "2", "get", "language"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 3) << all.out;
}

TEST_F(CliWithFleet, WatchPrintsCardReadsInputsAndSerialDataAsJsonLines) {
    std::thread events([&] {
        if (fleet->WaitForConnections(0, 1, 3s)) {
            std::this_thread::sleep_for(100ms);
            fleet->SendCardRead(0, eproto_hex_to_bytes("0AF1C2D3E4"));
            fleet->SendInputState(0, 5);
            fleet->SendUsartData(0, "hi");
        }
    });
    const CliRun watch = Cli({"watch", Host(0), "--for", "1"});
    events.join();
    ASSERT_EQ(watch.status, 0) << watch.err;
    std::istringstream lines(watch.out);
    std::vector<std::string> kinds;
    for (std::string line; std::getline(lines, line);) {
        const json event = json::parse(line);
        kinds.push_back(event.at("event"));
        if (kinds.back() == "card") {
            EXPECT_EQ(event.at("data"), "0AF1C2D3E4");
        }
    }
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), "card"), kinds.end()) << watch.out;
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), "usart"), kinds.end()) << watch.out;
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), "inputs"), kinds.end()) << watch.out;
}

} // namespace velkor
