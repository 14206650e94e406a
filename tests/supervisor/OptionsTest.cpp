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

TEST(Options, OperatorSettingsAreCheckedAndWrittenBackForTheService) {
    using std::chrono::milliseconds;
    const auto parsed =
        ParseCommandLine({"install", "--backoff", "30", "--stop-grace=2.5", "--log-max-size",
                          "1048576", "--log-keep", "5", "--config", "/etc/my list.ini", "svc"});
    ASSERT_EQ(parsed.action, CommandLine::Action::Install) << parsed.message;
    const auto& options = parsed.options;
    EXPECT_EQ(options.backoff_max, milliseconds(30000));
    EXPECT_EQ(options.stop_grace, milliseconds(2500));
    EXPECT_EQ(options.log_max_size, 1048576u);
    EXPECT_EQ(options.log_keep, 5u);
    const std::string list = std::filesystem::absolute("/etc/my list.ini").string();
    EXPECT_EQ(
        torvane::ServiceArguments(options),
        (std::vector<std::string>{"--config", list, "--backoff", "30", "--stop-grace", "2.5",
                                  "--log-max-size", "1048576", "--log-keep", "5", "--", "svc"}));
    EXPECT_EQ(torvane::JoinCommandLine({R"(C:\Program Files\T\Torvane.exe)", "--config",
                                        R"(C:\a b\)", R"(say "hi")", "", "plain"}),
              R"("C:\Program Files\T\Torvane.exe" --config "C:\a b\\" "say \"hi\"" "" plain)");
    EXPECT_EQ(ParseCommandLine({"uninstall", "svc"}).action, CommandLine::Action::Uninstall);

    for (const auto& [arguments, message] :
         std::vector<std::pair<std::vector<std::string_view>, std::string>>{
             {{"--backoff", "-1"}, "bad value for --backoff: -1"},
             {{"--backoff", "1e9"}, "bad value for --backoff: 1e9"},
             {{"--stop-grace", "soon"}, "bad value for --stop-grace: soon"},
             {{"--log-max-size", "100"}, "bad value for --log-max-size: 100"},
             {{"--log-max-size", "12kB"}, "bad value for --log-max-size: 12kB"},
             {{"--log-keep", "2"}, "--log-keep goes with --log-max-size"},
             {{"uninstall", "--backoff", "3"}, "uninstall takes only the service name"},
         }) {
        const auto result = ParseCommandLine(arguments);
        EXPECT_EQ(result.action, CommandLine::Action::Fail) << message;
        EXPECT_EQ(result.message, message);
    }
}
