// The built Linux service run as systemd runs it: in the foreground, its ini file beside it,
// stopped by SIGTERM or SIGINT, optionally with a notify socket that the test listens on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kChild = TORVANE_TEST_CHILD;
const std::string kStopBanner = "app: ------------------- session stop -------------------";

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// The processes whose parent is the given one.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string stat = ReadAll(entry.path() / "stat");
        const auto after_name = stat.rfind(')');
        if (after_name == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(after_name + 2));
        char state = 0;
        pid_t ppid = 0;
        fields >> state >> ppid;
        if (ppid == parent) {
            children.push_back(static_cast<pid_t>(std::stoi(name)));
        }
    }
    return children;
}

bool Alive(pid_t pid) {
    return kill(pid, 0) == 0 || errno != ESRCH;
}

// One run of the service in a directory of its own.
class ServiceRun {
public:
    ServiceRun() {
        fs::create_directories(dir);
        fs::copy_file(TORVANE_BINARY, binary);
    }
    ~ServiceRun() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        fs::remove_all(dir);
    }

    void WriteIni(const std::string& text) const {
        std::ofstream(dir / "Torvane.ini", std::ios::binary) << text;
    }

    void Start(const std::vector<std::string>& extra_environment = {},
               std::vector<std::string> arguments = {"torvane_test"}) {
        std::vector<std::string> environment_text(extra_environment);
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (std::string_view(*entry).rfind("NOTIFY_SOCKET=", 0) != 0) {
                environment_text.emplace_back(*entry);
            }
        }
        std::vector<char*> environment;
        for (auto& entry : environment_text) {
            environment.push_back(entry.data());
        }
        environment.push_back(nullptr);
        std::string program = binary.string();
        std::vector<char*> argv{program.data()};
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        ASSERT_EQ(
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environment.data()),
            0);
        posix_spawn_file_actions_destroy(&actions);
    }

    pid_t Pid() const { return pid_; }

    // The log's messages (stamps checked and removed).
    std::vector<std::string> Log() const {
        static const std::regex stamped(R"(\[\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\] (.*)\r)");
        std::vector<std::string> messages;
        std::istringstream text(ReadAll(log_path));
        for (std::string line; std::getline(text, line);) {
            std::smatch match;
            EXPECT_TRUE(std::regex_match(line, match, stamped)) << line;
            messages.push_back(match[1]);
        }
        return messages;
    }

    // Waits up to the timeout until the log holds the line at least `times` times.
    bool WaitForLogLine(const std::string& line, std::size_t times = 1,
                        Clock::duration timeout = 10s) const {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            if (Count(Log(), line) >= times) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    // Sends the signal and waits (bounded) for a clean exit.
    void StopWith(int signal_number) {
        ASSERT_EQ(kill(pid_, signal_number), 0);
        const auto deadline = Clock::now() + 10s;
        int status = 0;
        pid_t result = 0;
        while ((result = waitpid(pid_, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        ASSERT_EQ(result, pid_) << "the service did not stop within 10 s";
        pid_ = 0;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    fs::path dir = fs::temp_directory_path() /
                   ("torvane_service_test_" + std::to_string(std::random_device{}()));
    fs::path binary = dir / "Torvane";
    fs::path log_path = dir / "Torvane.log";

private:
    pid_t pid_ = 0;
};

// Gaps between each end of the stamping child and its next start.
std::vector<double> RestartGapsMs(const fs::path& stamps) {
    std::istringstream text(ReadAll(stamps));
    std::vector<double> gaps;
    std::optional<long long> last_end;
    char kind = 0;
    long long ns = 0;
    while (text >> kind >> ns) {
        if (kind == 'E') {
            last_end = ns;
        } else if (last_end) {
            gaps.push_back(static_cast<double>(ns - *last_end) / 1e6);
            last_end.reset();
        }
    }
    return gaps;
}

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
    run.Start({"NOTIFY_SOCKET=" + socket_path.string()});
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
    // Runs the binary to its end (bounded); its exit status and what it printed.
    const auto run_to_end = [&](std::vector<std::string> arguments) {
        const fs::path out = run.dir / "out.txt";
        const fs::path err = run.dir / "err.txt";
        std::string program = run.binary.string();
        std::vector<char*> argv{program.data()};
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        const auto deadline = Clock::now() + 10s;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "did not end";
            }
            std::this_thread::sleep_for(5ms);
        }
        return std::tuple(WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err));
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
    run.Start({}, {"--config", (elsewhere / "list.ini").string(), "--log=" + run.log_path.string(),
                   "named"});
    ASSERT_TRUE(run.WaitForLogLine("app: starting [" + kChild + ":" + kChild + " sleep] Ok"));
    const auto children = ChildrenOf(run.Pid());
    run.StopWith(SIGTERM);
    ExpectCleanStop(run.Log(), children, 1);
    EXPECT_FALSE(fs::exists(run.dir / "Torvane.log"));
}
