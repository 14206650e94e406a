// The discovery target set, the answer set of one scan and its CSV and JSON
// forms.
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "session/DiscoveryExport.h"
#include "session/DiscoveryTargets.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace velkor {

namespace {

tNetworkInterface Interface(const char* name, const char* ip, const char* mask, bool up = true) {
    const unsigned flags = (up ? sockplat::kIfUp : 0u) | sockplat::kIfBroadcast;
    tNetworkInterface entry =
        MakeNetworkInterface("HOST", KVT_ParseIPv4NetworkOrder(ip).value(),
                             KVT_ParseIPv4NetworkOrder(mask).value(), 0, flags);
    entry.InterfaceName = name;
    return entry;
}

using Targets = std::vector<std::string>;

DiscoveryAnswer Answer(std::string mac, std::string ip, uint16_t port, std::string from) {
    DiscoveryAnswer answer;
    answer.Items.MAC = std::move(mac);
    answer.Items.IPText = std::move(ip);
    answer.Items.TCPPort = port;
    answer.FromIP = std::move(from);
    answer.FromPort = 3052;
    return answer;
}

} // namespace

TEST(DiscoveryTargets, EachScopeGivesItsAddressesAndRefusesWhatIsNotThere) {
    const tNetworkInterfaceList interfaces = {
        Interface("lo", "127.0.0.1", "255.0.0.0"),
        Interface("eth0", "192.168.1.10", "255.255.255.0"),
        Interface("eth0", "192.168.1.11", "255.255.255.0"), // same subnet: one target
        Interface("wlan0", "10.20.30.40", "255.255.240.0"),
        Interface("tun0", "10.8.0.2", "255.255.255.255"), // no broadcast on a /32
        Interface("eth1", "172.16.0.5", "255.255.0.0", false),
    };
    std::string error;
    using Kind = DiscoveryScope::Kind;
    EXPECT_EQ(DiscoveryTargets({Kind::AllInterfaces, ""}, interfaces, &error),
              (Targets{"255.255.255.255", "127.255.255.255", "192.168.1.255", "10.20.31.255"}));
    EXPECT_EQ(DiscoveryTargets({Kind::OneInterface, "wlan0"}, interfaces, &error),
              Targets{"10.20.31.255"});
    EXPECT_EQ(DiscoveryTargets({Kind::OneInterface, "192.168.1.11"}, interfaces, &error),
              Targets{"192.168.1.255"});
    EXPECT_EQ(DiscoveryTargets({Kind::OneAddress, "127.255.255.255"}, interfaces, &error),
              Targets{"127.255.255.255"});

    for (const DiscoveryScope& bad :
         {DiscoveryScope{Kind::OneInterface, "eth1"}, // down
          DiscoveryScope{Kind::OneInterface, "tun0"}, DiscoveryScope{Kind::OneInterface, "eth7"}}) {
        error.clear();
        EXPECT_FALSE(DiscoveryTargets(bad, interfaces, &error));
        EXPECT_NE(error.find(bad.value), std::string::npos) << error;
        EXPECT_NE(error.find("wlan0 10.20.30.40/20"), std::string::npos) << error;
    }
    EXPECT_FALSE(DiscoveryTargets({Kind::OneAddress, "255.255.255"}, interfaces, &error));
    EXPECT_EQ(error, "not an IPv4 address: \"255.255.255\"");

    // Commands to everyone skip the network the limited broadcast reaches
    // already (its source address names it); anything else keeps them all.
    const Targets all = *DiscoveryTargets({Kind::AllInterfaces, ""}, interfaces, &error);
    const auto source = [](const char* ip) { return KVT_ParseIPv4NetworkOrder(ip); };
    EXPECT_EQ(CommandTargets(all, interfaces, source("192.168.1.11")),
              (Targets{"255.255.255.255", "127.255.255.255", "10.20.31.255"}));
    EXPECT_EQ(CommandTargets(all, interfaces, source("10.20.30.40")),
              (Targets{"255.255.255.255", "127.255.255.255", "192.168.1.255"}));
    EXPECT_EQ(CommandTargets(all, interfaces, std::nullopt), all);
    EXPECT_EQ(CommandTargets(all, interfaces, source("10.8.0.2")), all);   // no broadcast there
    EXPECT_EQ(CommandTargets(all, interfaces, source("172.16.0.5")), all); // down
    EXPECT_EQ(CommandTargets({"192.168.1.255"}, interfaces, source("192.168.1.10")),
              Targets{"192.168.1.255"}); // one interface chosen: no limited broadcast
}

TEST(DiscoveryAnswers, OneEntryPerControllerAndEveryFieldInCsvAndJson) {
    DiscoveryAnswerSet set;
    const std::string mac = eproto_hex_to_bytes("0011223344AA");
    EXPECT_TRUE(set.Add(Answer(mac, "10.0.0.5", 8080, "10.0.0.5")));
    EXPECT_FALSE(set.Add(Answer(mac, "10.0.0.5", 8080, "10.0.0.5"))); // second path
    EXPECT_TRUE(set.Add(Answer(mac, "10.0.0.5", 8081, "10.0.0.5")));  // another port
    EXPECT_TRUE(set.Add(Answer("", "", 8080, "10.0.0.6")));           // known by its sender
    EXPECT_FALSE(set.Add(Answer("", "", 8080, "10.0.0.6")));
    ASSERT_EQ(set.Size(), 3u);

    // A name with a comma, a quote, a line break and Cyrillic letters.
    DiscoveryAnswer full = set.Answers()[0];
    full.Items.Text12 = Win1251FromUtf8("Шкаф, \"A\"\r\n2");
    full.Items.Addr3Text = "255.255.255.0";
    full.Items.Seconds = 90061;
    full.Items.SignedSeconds = static_cast<int32_t>(0x80000000u | 30u);
    const std::vector<DiscoveryAnswer> answers = {full, set.Answers()[2]};

    const std::string csv = DiscoveryCsv(answers);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "mac,ip,tcp_port,mask,gateway,server,name,type,text13,uptime,signed_seconds,tag7,"
              "tag8,tag9,from");
    EXPECT_NE(csv.find("\r\n00-11-22-33-44-AA,10.0.0.5,8080,255.255.255.0,,,"
                       "\"Шкаф, \"\"A\"\"\r\n2\",,,90061,30,0,0,0,10.0.0.5:3052\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n,,8080,,,,,,,,,0,0,0,10.0.0.6:3052\r\n"), std::string::npos) << csv;

    for (const bool lines : {false, true}) {
        const std::string text = DiscoveryJson(answers, lines);
        const nlohmann::ordered_json first =
            lines ? nlohmann::ordered_json::parse(text.substr(0, text.find('\n')))
                  : nlohmann::ordered_json::parse(text).at(0);
        EXPECT_EQ(first.begin().key(), "mac");
        EXPECT_EQ(first.at("name"), "Шкаф, \"A\"\r\n2");
        EXPECT_EQ(first.at("tcp_port"), 8080);
        EXPECT_EQ(first.at("uptime"), 90061);
        EXPECT_EQ(first.at("signed_seconds"), 30);
        EXPECT_EQ(first.at("from"), "10.0.0.5:3052");
        EXPECT_EQ(first.size(), 15u);
    }
    const auto second = nlohmann::json::parse(DiscoveryJson(answers)).at(1);
    EXPECT_TRUE(second.at("uptime").is_null());
    EXPECT_EQ(second.at("ip"), "");
}

} // namespace velkor
