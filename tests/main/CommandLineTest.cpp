// Velkor's command line as every front end parses it.
#include "ui/main/CommandLine.h"

#include <gtest/gtest.h>

namespace velkor {

namespace {
using Action = CommandLineResult::Action;
using Arguments = std::vector<std::string>;
} // namespace

TEST(CommandLine, OptionsHelpVersionAndMistakes) {
    const CommandLineResult plain = ParseCommandLine({"/usr/bin/Velkor"});
    EXPECT_EQ(plain.action, Action::Run);
    EXPECT_FALSE(plain.options.BroadcastAddress); // every interface, or the remembered one
    EXPECT_FALSE(plain.options.Interface);
    EXPECT_TRUE(plain.options.LogFile.empty());
    EXPECT_EQ(plain.options.LogFileMaxBytes, 16u << 20);
    EXPECT_FALSE(plain.options.LogTimestamps);
    EXPECT_FALSE(plain.options.LogSent);

    const CommandLineResult both =
        ParseCommandLine({"Velkor", "--broadcast", "127.255.255.255", "--log-file=/tmp/capture.log",
                          "--log-file-max", "512K", "--no-timestamps", "--log-sent"});
    EXPECT_EQ(both.action, Action::Run);
    EXPECT_EQ(both.options.BroadcastAddress, "127.255.255.255");
    EXPECT_EQ(both.options.LogFile, "/tmp/capture.log");
    EXPECT_EQ(both.options.LogFileMaxBytes, 512u * 1024);
    EXPECT_EQ(both.options.LogTimestamps, false);
    EXPECT_EQ(both.options.LogSent, true);
    const CommandLineResult chosen =
        ParseCommandLine({"Velkor", "--interface=eth1", "--log-file-max=2M"});
    EXPECT_EQ(chosen.options.Interface, "eth1");
    EXPECT_EQ(chosen.options.LogFileMaxBytes, 2u << 20);
    // An interface that is not there is refused before the window opens.
    const auto missing =
        CheckInterfaceOption(ParseCommandLine({"V", "--interface", "no0"}).options);
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->find("no interface \"no0\""), std::string::npos) << *missing;
    EXPECT_FALSE(CheckInterfaceOption(ParseCommandLine({"V", "--interface", "all"}).options));

    // The help names the program as it was started.
    const CommandLineResult help = ParseCommandLine({"/opt/tools/velkor-test", "--help"});
    EXPECT_EQ(help.action, Action::ShowHelp);
    EXPECT_EQ(help.message.rfind("Usage: velkor-test [", 0), 0u) << help.message;
    EXPECT_NE(help.message.find("--log-file PATH"), std::string::npos);
    EXPECT_EQ(
        ParseCommandLine({"C:\\Tools\\Velkor.exe", "-h"}).message.rfind("Usage: Velkor.exe", 0),
        0u);

    const CommandLineResult version = ParseCommandLine({"Velkor", "--version"});
    EXPECT_EQ(version.action, Action::ShowVersion);
    EXPECT_EQ(version.message, VersionLine() + "\n");
    EXPECT_NE(VersionLine().find(' '), std::string::npos);

    const std::pair<Arguments, std::string> wrong[] = {
        {{"Velkor", "--broadcast", "256.1.1.1"}, "not an IPv4 address: 256.1.1.1"},
        {{"Velkor", "--broadcast", "controllers.local"}, "not an IPv4 address: controllers.local"},
        {{"Velkor", "--broadcast"}, "--broadcast needs a value"},
        {{"Velkor", "--broadcast", "10.0.0.255", "--interface", "eth0"},
         "--broadcast and --interface exclude each other"},
        {{"Velkor", "--log-file-max", "3K"}, "not a log file size of at least 4K: 3K"},
        {{"Velkor", "--log-file-max", "12Q"}, "not a log file size of at least 4K: 12Q"},
        {{"Velkor", "--timestamps=on"}, "--timestamps takes no value"},
        {{"Velkor", "--log-file", ""}, "the log file name is empty"},
        {{"Velkor", "--log-file="}, "the log file name is empty"},
        {{"Velkor", "--verbose"}, "unknown option: --verbose"},
        {{"Velkor", "--help=yes"}, "--help takes no value"},
        {{"Velkor", "extra"}, "unexpected argument: extra"},
    };
    for (const auto& [arguments, message] : wrong) {
        const CommandLineResult result = ParseCommandLine(arguments);
        EXPECT_EQ(result.action, Action::Fail) << message;
        EXPECT_EQ(result.message, message);
    }
}

} // namespace velkor
