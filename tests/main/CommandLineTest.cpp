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
    EXPECT_EQ(plain.options.BroadcastAddress, "255.255.255.255");
    EXPECT_TRUE(plain.options.LogFile.empty());

    const CommandLineResult both = ParseCommandLine(
        {"Velkor", "--broadcast", "127.255.255.255", "--log-file=/tmp/capture.log"});
    EXPECT_EQ(both.action, Action::Run);
    EXPECT_EQ(both.options.BroadcastAddress, "127.255.255.255");
    EXPECT_EQ(both.options.LogFile, "/tmp/capture.log");

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
