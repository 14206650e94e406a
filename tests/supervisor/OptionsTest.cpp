#include "supervisor/Options.h"

#include <gtest/gtest.h>

#include <filesystem>

using torvane::CommandLine;
using torvane::ParseCommandLine;

TEST(Options, NameAndPathsInEitherFormAndOrder) {
    EXPECT_EQ(ParseCommandLine({}).action, CommandLine::Action::Run);
    EXPECT_EQ(ParseCommandLine({}).options.service_name, "");

    const auto spaced = ParseCommandLine({"--config", "/etc/t.ini", "svc", "--log", "/var/t.log"});
    ASSERT_EQ(spaced.action, CommandLine::Action::Run) << spaced.message;
    EXPECT_EQ(spaced.options.service_name, "svc");
    EXPECT_EQ(spaced.options.config_path, std::filesystem::absolute("/etc/t.ini").string());
    EXPECT_EQ(spaced.options.log_path, std::filesystem::absolute("/var/t.log").string());

    const auto joined = ParseCommandLine({"--log=t.log", "--", "-odd-name"});
    ASSERT_EQ(joined.action, CommandLine::Action::Run) << joined.message;
    EXPECT_EQ(joined.options.service_name, "-odd-name");
    // Relative paths are taken from the working directory at the start.
    EXPECT_EQ(joined.options.log_path, (std::filesystem::current_path() / "t.log").string());
}

TEST(Options, HelpVersionAndEveryMistakeIsNamed) {
    EXPECT_EQ(ParseCommandLine({"svc", "--help"}).action, CommandLine::Action::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"-h"}).action, CommandLine::Action::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, CommandLine::Action::ShowVersion);

    const auto expect_failure = [](std::vector<std::string_view> arguments,
                                   const std::string& message) {
        const auto result = ParseCommandLine(arguments);
        EXPECT_EQ(result.action, CommandLine::Action::Fail) << message;
        EXPECT_EQ(result.message, message);
    };
    expect_failure({"--frobnicate"}, "unknown option: --frobnicate");
    expect_failure({"-x", "svc"}, "unknown option: -x");
    expect_failure({"--configs=/x"}, "unknown option: --configs=/x");
    expect_failure({"--config"}, "--config needs a value");
    expect_failure({"--log="}, "--log needs a value");
    expect_failure({"one", "two"}, "unexpected argument: two (the service name is one)");
}
