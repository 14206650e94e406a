#include "supervisor/USvc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

using namespace torvane;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Processes that exist only as records: a test decides which files exist, which starts fail
// and when a program ends.
class FakeProcesses : public IProcessLayer {
public:
    bool FileExists(const std::string& path) override {
        const std::lock_guard lock(mutex);
        return files.count(path) != 0;
    }
    bool StartProcess(const std::string& executable, const std::string& command_line,
                      const std::string& stdout_target, const std::string& stderr_target,
                      ProcessInformation& information) override {
        const std::lock_guard lock(mutex);
        events.push_back("start " + executable + " | " + command_line + " | " + stdout_target +
                         " | " + stderr_target);
        information = {};
        if (failing.count(executable) != 0) {
            return false;
        }
        const int pid = ++last_pid;
        information.process_handle = pid;
        information.process_id = static_cast<std::uint32_t>(pid);
        running[pid] = executable;
        if (ends_at_once.count(executable) != 0) {
            ended[pid] = 0;
        }
        return true;
    }
    bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) override {
        const std::lock_guard lock(mutex);
        const int pid = static_cast<int>(information.process_handle);
        const auto end = ended.find(pid);
        if (end == ended.end()) {
            return true;
        }
        exit_code = end->second;
        ended.erase(end);
        running.erase(pid);
        information = {};
        return false;
    }
    void KillProcess(ProcessInformation& information) override {
        const std::lock_guard lock(mutex);
        const int pid = static_cast<int>(information.process_handle);
        events.push_back("kill " + running[pid]);
        running.erase(pid);
        ended.erase(pid);
        information = {};
    }

    // Marks the running copy of a program as ended with the exit code.
    void End(const std::string& executable, std::uint32_t exit_code) {
        const std::lock_guard lock(mutex);
        for (const auto& [pid, name] : running) {
            if (name == executable) {
                ended[pid] = exit_code;
            }
        }
    }
    int StartCount() {
        const std::lock_guard lock(mutex);
        int count = 0;
        for (const auto& event : events) {
            count += event.rfind("start ", 0) == 0 ? 1 : 0;
        }
        return count;
    }

    std::mutex mutex;
    std::set<std::string> files;
    std::set<std::string> failing;
    std::set<std::string> ends_at_once;
    std::map<int, std::string> running;
    std::map<int, std::uint32_t> ended;
    std::vector<std::string> events;
    int last_pid = 100;
};

struct SupervisorFixture : ::testing::Test {
    ~SupervisorFixture() override { std::filesystem::remove_all(ini_path); }

    void WriteIni(const std::string& text) { std::ofstream(ini_path, std::ios::binary) << text; }

    Supervisor& Make(std::chrono::milliseconds period = Supervisor::kCheckPeriod) {
        supervisor.emplace(
            processes,
            [this](std::string_view line) {
                const std::lock_guard lock(log_mutex);
                log.emplace_back(line);
            },
            ini_path.string(), period);
        return *supervisor;
    }
    std::vector<std::string> Log() {
        const std::lock_guard lock(log_mutex);
        return log;
    }

    std::filesystem::path ini_path =
        std::filesystem::temp_directory_path() /
        ("torvane_supervisor_test_" + std::to_string(std::random_device{}()) + ".ini");
    FakeProcesses processes;
    std::mutex log_mutex;
    std::vector<std::string> log;
    std::optional<Supervisor> supervisor;
};

} // namespace

TEST_F(SupervisorFixture, LoadsExistingProgramsInLineOrderWithoutLogging) {
    processes.files = {R"(C:\tools\agent.exe)", R"(C:\tools\other.exe)"};
    WriteIni("C:\\tools\\agent.exe -p 5 > C:\\logs\\agent.txt\r\n"
             "   C:\\tools\\agent.exe   \r\n"
             "\r\n"
             " \t \r\n"
             "C:\\tools\\missing.exe -x > m.txt\r\n"
             "; C:\\tools\\other.exe\r\n"
             "C:\\tools\\other.exe  >  out.txt  \r\n"
             "> C:\\tools\\agent.exe\r\n"
             "C:\\tools\\agent.exe -q"); // last line without an end of line
    auto& svc = Make();
    EXPECT_TRUE(svc.uservice_on_start());
    EXPECT_THAT(Log(), IsEmpty());

    const auto items = svc.Items();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].command_line, R"(C:\tools\agent.exe -p 5)");
    EXPECT_EQ(items[0].stderr_target, R"(C:\logs\agent.txt)");
    EXPECT_EQ(items[1].executable, R"(C:\tools\agent.exe)"); // the same program twice
    EXPECT_EQ(items[1].command_line, "");
    EXPECT_EQ(items[1].stderr_target, "nul:");
    EXPECT_EQ(items[2].executable, R"(C:\tools\other.exe)");
    EXPECT_EQ(items[2].stderr_target, "out.txt");
    EXPECT_EQ(items[3].command_line, R"(C:\tools\agent.exe -q)");
    for (const auto& item : items) {
        EXPECT_EQ(item.state, ProcState::ToStart);
        EXPECT_EQ(item.stdout_target, "nul:");
    }
}

TEST_F(SupervisorFixture, MissingIniIsLoggedAndTheServiceStillRunsAndStops) {
    auto& svc = Make(std::chrono::milliseconds(5));
    EXPECT_TRUE(svc.uservice_on_start());
    EXPECT_THAT(Log(), ElementsAre("app: {error} cannot open ini file [" + ini_path.string() +
                                   "], no programs to supervise"));
    EXPECT_THAT(svc.Items(), IsEmpty());

    std::thread loop([&] { EXPECT_TRUE(svc.uservice_on_run()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    svc.uservice_on_stop();
    loop.join();
    EXPECT_EQ(Log().back(), "app: ------------------- session stop -------------------");
    EXPECT_EQ(processes.StartCount(), 0);
}

TEST_F(SupervisorFixture, UnreadableIniIsLoggedAndGivesAnEmptyList) {
    std::filesystem::create_directories(ini_path); // a directory where the file should be
    auto& svc = Make();
    EXPECT_TRUE(svc.uservice_on_start());
    const auto lines = Log();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("app: {error} cannot ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("[" + ini_path.string() + "]"), std::string::npos) << lines[0];
    EXPECT_THAT(svc.Items(), IsEmpty());
}

TEST_F(SupervisorFixture, StartsEveryProgramAndAFailedStartIsFinal) {
    processes.files = {"/opt/a", "/opt/broken", "/opt/c"};
    processes.failing = {"/opt/broken"};
    WriteIni("/opt/a\n/opt/broken -x > err.txt\n/opt/c -y\n");
    auto& svc = Make();
    svc.uservice_on_start();
    svc.RunPass();
    EXPECT_THAT(Log(), ElementsAre("app: starting [/opt/a:] Ok",
                                   "app: starting [/opt/broken:/opt/broken -x] Fail",
                                   "app: starting [/opt/c:/opt/c -y] Ok"));
    EXPECT_THAT(processes.events, ElementsAre("start /opt/a |  | nul: | nul:",
                                              "start /opt/broken | /opt/broken -x | nul: | err.txt",
                                              "start /opt/c | /opt/c -y | nul: | nul:"));
    const auto items = svc.Items();
    EXPECT_EQ(items[0].state, ProcState::Running);
    EXPECT_EQ(items[1].state, ProcState::StartFailed);
    EXPECT_EQ(items[1].process_information.process_handle, 0);
    EXPECT_EQ(items[2].state, ProcState::Running);
    EXPECT_NE(items[2].process_information.process_id, 0u);

    for (int pass = 0; pass < 5; ++pass) {
        svc.RunPass();
    }
    EXPECT_EQ(processes.StartCount(), 3); // nothing retried, nothing restarted
    EXPECT_EQ(Log().size(), 3u);
}

TEST_F(SupervisorFixture, AnEndedProgramIsLoggedWithItsExitCodeAndStartedOnTheNextPass) {
    processes.files = {"/opt/a", "/opt/b"};
    WriteIni("/opt/a -v\n/opt/b\n");
    auto& svc = Make();
    svc.uservice_on_start();
    svc.RunPass();
    processes.End("/opt/a", 3);
    svc.RunPass();
    EXPECT_EQ(svc.Items()[0].state, ProcState::ToStart);
    EXPECT_EQ(Log().back(), "app: check fail [/opt/a], ret_code [3]");
    svc.RunPass();
    EXPECT_EQ(Log().back(), "app: starting [/opt/a:/opt/a -v] Ok");
    EXPECT_EQ(svc.Items()[0].state, ProcState::Running);

    // Exit codes are shown unsigned, as the system reports them.
    processes.End("/opt/b", 0xC0000005u);
    svc.RunPass();
    EXPECT_EQ(Log().back(), "app: check fail [/opt/b], ret_code [3221225477]");
    EXPECT_EQ(processes.StartCount(), 3);
}

TEST_F(SupervisorFixture, StopTerminatesRunningProgramsInListOrderThenWritesTheBanner) {
    processes.files = {"/opt/a", "/opt/b", "/opt/c", "/opt/d", "/opt/e"};
    processes.failing = {"/opt/b"};
    WriteIni("/opt/a\n/opt/b\n/opt/c\n/opt/d\n/opt/e\n");
    auto& svc = Make();
    svc.uservice_on_start();
    svc.RunPass();
    processes.End("/opt/d", 1);
    svc.RunPass(); // d is now waiting for its restart
    processes.events.clear();
    log.clear();

    svc.uservice_on_stop();
    EXPECT_THAT(Log(), ElementsAre("app: stopping [/opt/a]", "app: stopping [/opt/c]",
                                   "app: stopping [/opt/e]",
                                   "app: ------------------- session stop -------------------"));
    EXPECT_THAT(processes.events, ElementsAre("kill /opt/a", "kill /opt/c", "kill /opt/e"));
    EXPECT_THAT(processes.running, IsEmpty());
    EXPECT_THAT(svc.Items(), IsEmpty());
    EXPECT_TRUE(svc.StopRequested());

    svc.RunPass();
    EXPECT_TRUE(svc.uservice_on_run()); // returns at once once stopped
    EXPECT_EQ(processes.StartCount(), 0);
}

TEST_F(SupervisorFixture, StopBeforeTheStartLoadsAndStartsNothing) {
    processes.files = {"/opt/a"};
    WriteIni("/opt/a\n");
    auto& svc = Make();
    svc.uservice_on_stop();
    EXPECT_TRUE(svc.uservice_on_start());
    EXPECT_TRUE(svc.uservice_on_run());
    EXPECT_THAT(svc.Items(), IsEmpty());
    EXPECT_EQ(processes.StartCount(), 0);
}

TEST_F(SupervisorFixture, LoopRestartsEndingProgramsUntilTheStopAndLeavesNothingRunning) {
    processes.files = {"/opt/flaky", "/opt/steady"};
    processes.ends_at_once = {"/opt/flaky"};
    WriteIni("/opt/flaky\n/opt/steady\n/opt/flaky -2\n");
    auto& svc = Make(std::chrono::milliseconds(1));
    svc.uservice_on_start();

    std::thread loop([&] { EXPECT_TRUE(svc.uservice_on_run()); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (processes.StartCount() < 30 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    svc.uservice_on_stop();
    const int starts_at_stop = processes.StartCount();
    loop.join();
    EXPECT_GE(starts_at_stop, 30);
    EXPECT_EQ(processes.StartCount(), starts_at_stop); // nothing started after the stop
    EXPECT_THAT(processes.running, IsEmpty());

    const auto lines = Log();
    EXPECT_EQ(lines.back(), "app: ------------------- session stop -------------------");
    const auto restarts = std::count(lines.begin(), lines.end(), "app: starting [/opt/flaky:] Ok");
    const auto checks =
        std::count(lines.begin(), lines.end(), "app: check fail [/opt/flaky], ret_code [0]");
    EXPECT_GE(restarts, 10);
    EXPECT_LE(restarts - checks, 1); // each restart follows a noticed end, except a last one
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "app: starting [/opt/steady:] Ok"), 1);
}
