// The built Linux service run as systemd runs it: in the foreground, its ini file beside it,
// stopped by SIGTERM or SIGINT, optionally with a notify socket that the test listens on.
#include "ServiceRun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace service_test;

namespace {

using namespace std::chrono_literals;

const std::string kChild = TORVANE_TEST_CHILD;

// Everything a stopped run must show: the stop lines, no start once the programs are being
// terminated, the children gone and the banner last.
void ExpectCleanStop(const std::vector<std::string>& log, const std::vector<pid_t>& children,
                     std::size_t min_stopped) {
    const auto control = std::find(log.begin(), log.end(), "userv: control SERVICE_CONTROL_STOP");
    ASSERT_NE(control, log.end());
    ASSERT_NE(control + 1, log.end());
    EXPECT_EQ(*(control + 1), "userv: stopping");
    EXPECT_GE(
        static_cast<std::size_t>(std::count(control, log.end(), "app: stopping [" + kChild + "]")),
        min_stopped);
    // Once the supervisor has begun terminating its programs, nothing starts any more.
    const auto terminating = std::find_if(control, log.end(), [](const std::string& line) {
        return line.rfind("app: stopping [", 0) == 0 || line == kStopBanner;
    });
    for (auto line = terminating; line != log.end(); ++line) {
        EXPECT_EQ(line->rfind("app: starting [", 0), std::string::npos) << *line;
    }
    EXPECT_EQ(log.back(), kStopBanner);
    for (const pid_t child : children) {
        EXPECT_FALSE(Alive(child)) << "child " << child << " survived the stop";
    }
}

} // namespace

TEST(TorvaneService, RestartsAnEndedProgramAndStopsEverythingOnSigterm) {
    ServiceRun run;
    const fs::path err = run.dir / "err.txt";
    const fs::path stamps = run.dir / "stamps.txt";
    const fs::path not_executable = run.dir / "notes.txt";
    std::ofstream(err) << "earlier run\n";
    std::ofstream(not_executable) << "not a program\n";
    run.WriteIni("  " + kChild + " exit 3 50 " + stamps.string() + "  >  " + err.string() + "  \n" +
                 kChild + " sleep\n" + "\n" + (run.dir / "missing-program").string() + "\n" +
                 not_executable.string() + "\n" + "> " + kChild + "\n" + kChild + " sleep\n");
    run.Start();

    const std::string check_fail = "app: check fail [" + kChild + "], ret_code [3]";
    ASSERT_TRUE(run.WaitForLogLine(check_fail, 4)) << ReadAll(run.dir / "Torvane.log");
    const auto children = ChildrenOf(run.Pid());
    EXPECT_GE(children.size(), 2u);
    run.StopWith(SIGTERM);

    const auto log = run.Log();
    ASSERT_GE(log.size(), 8u);
    EXPECT_THAT(
        std::vector<std::string>(log.begin(), log.begin() + 5),
        ::testing::ElementsAre(
            "app: ------------------- session start -------------------", "userv: starting",
            "app: skipped line 4 [" + (run.dir / "missing-program").string() + "]: no such program",
            "app: skipped line 6 [> " + kChild + "]: invalid line", "userv: started"));
    EXPECT_EQ(log[5],
              "app: starting [" + kChild + ":" + kChild + " exit 3 50 " + stamps.string() + "] Ok");
    // The reason of a failed start is the system's.
    EXPECT_EQ(
        Count(log, "app: starting [" + not_executable.string() + ":] Fail: Permission denied (13)"),
        1u);
    EXPECT_EQ(Count(log, "app: starting [" + kChild + ":" + kChild + " sleep] Ok"), 2u);
    ExpectCleanStop(log, children, 2);

    const auto gaps = RestartGapsMs(stamps);
    ASSERT_GE(gaps.size(), 3u);
    auto sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_LT(sorted[sorted.size() / 2], 400.0) << "median restart gap";
    EXPECT_LT(sorted.back(), 1000.0) << "slowest restart gap";

    const std::string errors = ReadAll(err);
    EXPECT_EQ(errors.rfind("earlier run\n", 0), 0u);
    std::size_t runs = 0;
    for (auto at = errors.find("child: args=5 cwd=" + fs::path(kChild).parent_path().string() +
                               " stdin=empty notify=unset\n");
         at != std::string::npos; at = errors.find("child: args=5", at + 1)) {
        ++runs;
    }
    EXPECT_GE(runs, 4u) << errors;
}

TEST(TorvaneService, ReportsItsStatesThroughTheNotifySocket) {
    ServiceRun run;
    const fs::path socket_path = run.dir / "notify";
    const int listener = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    timeval receive_timeout{0, 100'000};
    setsockopt(listener, SOL_SOCKET, SO_RCVTIMEO, &receive_timeout, sizeof receive_timeout);

    std::vector<std::string> messages;
    auto receive_until = [&](const std::string& wanted) {
        const auto deadline = Clock::now() + 10s;
        while (Clock::now() < deadline) {
            char buffer[512];
            const ssize_t length = recv(listener, buffer, sizeof buffer, 0);
            if (length > 0) {
                messages.emplace_back(buffer, static_cast<std::size_t>(length));
                if (messages.back().find(wanted) != std::string::npos) {
                    return true;
                }
            }
        }
        return false;
    };

    const fs::path err = run.dir / "err.txt";
    run.WriteIni(kChild + " exit 3 20 > " + err.string() + "\n" + kChild + " sleep\n");
    run.Start({"torvane_test"}, {"NOTIFY_SOCKET=" + socket_path.string()});
    ASSERT_TRUE(receive_until("READY=1"));
    ASSERT_TRUE(run.WaitForLogLine("app: check fail [" + kChild + "], ret_code [3]", 2));
    const auto children = ChildrenOf(run.Pid());
    run.StopWith(SIGTERM);
    ASSERT_TRUE(receive_until("STOPPING=1"));
    close(listener);

    ASSERT_EQ(messages.size(), 3u);
    EXPECT_THAT(messages[0], ::testing::HasSubstr("STATUS=start pending"));
    EXPECT_THAT(messages[1], ::testing::HasSubstr("READY=1"));
    EXPECT_THAT(messages[2], ::testing::HasSubstr("STOPPING=1"));
    ExpectCleanStop(run.Log(), children, 1);
    // The notify socket is the service's own: its programs do not see it.
    const std::string errors = ReadAll(err);
    EXPECT_NE(errors.find("notify=unset"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("notify=set"), std::string::npos) << errors;
}

TEST(TorvaneService, WithoutAnIniFileItLogsTheErrorRunsAndStopsOnSigint) {
    ServiceRun run;
    run.Start();
    ASSERT_TRUE(run.WaitForLogLine("userv: started"));
    std::this_thread::sleep_for(300ms);
    run.StopWith(SIGINT);
    const auto log = run.Log();
    EXPECT_EQ(Count(log, "app: {error} cannot open ini file [" +
                             (run.dir / "Torvane.ini").string() + "], no programs to supervise"),
              1u);
    ExpectCleanStop(log, {}, 0);
}

TEST(TorvaneService, CommandLinePlacesTheListAndTheLogAndRefusesWhatItDoesNotKnow) {
    ServiceRun run;
    const auto run_to_end = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), run.binary.string());
        const Finished finished = RunToEnd(arguments, run.dir);
        return std::tuple(finished.status, finished.out, finished.err);
    };

    auto [help_status, help, help_errors] = run_to_end({"--help"});
    EXPECT_EQ(help_status, 0);
    EXPECT_THAT(help, ::testing::HasSubstr("Usage: Torvane [options] [service-name]"));
    auto [version_status, version, version_errors] = run_to_end({"svc", "--version"});
    EXPECT_EQ(version_status, 0);
    EXPECT_EQ(version.rfind("Torvane ", 0), 0u) << version;
    auto [unknown_status, unknown, complaint] = run_to_end({"--frobnicate"});
    EXPECT_EQ(unknown_status, 2);
    EXPECT_EQ(complaint, "Torvane: unknown option: --frobnicate (see --help)\n");
    // None of them ran a service or touched a log.
    EXPECT_FALSE(fs::exists(run.dir / "Torvane.log"));

    const fs::path elsewhere = run.dir / "etc";
    fs::create_directories(elsewhere);
    std::ofstream(elsewhere / "list.ini") << kChild << " sleep\n";
    run.log_path = elsewhere / "service.log";
    run.Start(
        {"--config", (elsewhere / "list.ini").string(), "--log=" + run.log_path.string(), "named"});
    ASSERT_TRUE(run.WaitForLogLine("app: starting [" + kChild + ":" + kChild + " sleep] Ok"));
    const auto children = ChildrenOf(run.Pid());
    run.StopWith(SIGTERM);
    ExpectCleanStop(run.Log(), children, 1);
    EXPECT_FALSE(fs::exists(run.dir / "Torvane.log"));
}
