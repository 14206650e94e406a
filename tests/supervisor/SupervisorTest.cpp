#include "supervisor/USvc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

using namespace torvane;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Processes that exist only as records: a test decides which files exist, which starts fail
// and when a program ends.
class FakeProcesses : public IProcessLayer {
public:
    FileKind ProbeFile(const std::string& path) override {
        const std::lock_guard lock(mutex);
        return files.count(path) != 0         ? FileKind::File
               : directories.count(path) != 0 ? FileKind::NotAFile
                                              : FileKind::Missing;
    }
    bool StartProcess(const std::string& executable, const std::string& command_line,
                      const std::string& stdout_target, const std::string& stderr_target,
                      ProcessInformation& information, unsigned long& error) override {
        if (on_start) {
            on_start();
        }
        const std::lock_guard lock(mutex);
        events.push_back("start " + executable + " | " + command_line + " | " + stdout_target +
                         " | " + stderr_target);
        information = {};
        if (failing.count(executable) != 0) {
            error = 13;
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
    void RequestEnd(const ProcessInformation& information, EndRequest request) override {
        const std::lock_guard lock(mutex);
        const int pid = static_cast<int>(information.process_handle);
        events.push_back((request == EndRequest::Ask ? "ask " : "end ") + running[pid]);
        if (request == EndRequest::Ask && ends_when_asked.count(running[pid]) != 0) {
            ended[pid] = 0;
        }
    }
    void KillProcess(ProcessInformation& information) override {
        if (on_kill) {
            on_kill();
        }
        const std::lock_guard lock(mutex);
        const int pid = static_cast<int>(information.process_handle);
        if (pid == 0) {
            return;
        }
        events.push_back("kill " + running[pid]);
        running.erase(pid);
        ended.erase(pid);
        information = {};
    }
    void WatchProcessEnds(std::function<void()> observer) override {
        const std::lock_guard lock(mutex);
        on_end = std::move(observer);
    }
    std::vector<std::uint32_t> TakeEndedProcessIds() override {
        const std::lock_guard lock(mutex);
        return std::exchange(reported, {});
    }
    void FinishStop() override {
        const std::lock_guard lock(mutex);
        events.push_back("finish stop");
    }
    std::string DescribeError(unsigned long code) override {
        return "Permission denied (" + std::to_string(code) + ")";
    }

    // Marks the running copy of a program as ended with the exit code; with `report`, tells
    // the supervisor at once, as the system's end notification does.
    void End(const std::string& executable, std::uint32_t exit_code, bool report = false) {
        std::function<void()> observer;
        {
            const std::lock_guard lock(mutex);
            for (const auto& [pid, name] : running) {
                if (name == executable) {
                    ended[pid] = exit_code;
                    reported.push_back(static_cast<std::uint32_t>(pid));
                }
            }
            observer = report ? on_end : nullptr;
        }
        if (observer) {
            observer();
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
    std::set<std::string> directories;
    std::set<std::string> failing;
    std::set<std::string> ends_at_once;
    std::set<std::string> ends_when_asked;
    std::map<int, std::string> running;
    std::map<int, std::uint32_t> ended;
    std::vector<std::uint32_t> reported;
    std::vector<std::string> events;
    std::function<void()> on_end;
    std::function<void()> on_kill;
    std::function<void()> on_start; // called outside the lock, in the starting thread
    int last_pid = 100;
};

// Checks and restarts at the given period.
SupervisorSettings Periods(std::chrono::milliseconds period) {
    SupervisorSettings settings;
    settings.check_period = period;
    settings.restart_interval = period;
    return settings;
}

struct SupervisorFixture : ::testing::Test {
    ~SupervisorFixture() override {
        supervisor.reset();
        std::filesystem::remove_all(ini_path);
        std::filesystem::remove(ini_path.string() + ".lock");
    }

    void WriteIni(const std::string& text) { std::ofstream(ini_path, std::ios::binary) << text; }

    // On the test's clock, which only `Advance` moves.
    Supervisor& Make(SupervisorSettings settings = {}) {
        return Emplace(settings, [this] { return now; });
    }
    Supervisor& MakeOnRealClock(SupervisorSettings settings) {
        return Emplace(settings, std::chrono::steady_clock::now);
    }
    Supervisor& Emplace(SupervisorSettings settings, Supervisor::ClockFn clock) {
        supervisor.emplace(
            processes,
            [this](std::string_view line) {
                const std::lock_guard lock(log_mutex);
                log.emplace_back(line);
            },
            ini_path.string(), settings, std::move(clock));
        return *supervisor;
    }
    void Advance(std::chrono::milliseconds span) { now += span; }
    std::vector<std::string> Log() {
        const std::lock_guard lock(log_mutex);
        return log;
    }

    std::filesystem::path ini_path =
        std::filesystem::temp_directory_path() /
        ("torvane_supervisor_test_" + std::to_string(std::random_device{}()) + ".ini");
    SteadyTime now = std::chrono::steady_clock::now();
    FakeProcesses processes;
    std::mutex log_mutex;
    std::vector<std::string> log;
    std::optional<Supervisor> supervisor;
};

} // namespace

TEST_F(SupervisorFixture, LoadsExistingProgramsInLineOrderAndNamesEachSkippedLineOnce) {
    processes.files = {R"(C:\tools\agent.exe)", R"(C:\tools\other.exe)",
                       R"(C:\Program Files\App\app.exe)"};
    processes.directories = {R"(C:\tools)"};
    WriteIni("C:\\tools\\agent.exe -p 5 > C:\\logs\\agent.txt\r\n"
             "   C:\\tools\\agent.exe   \r\n"
             "\r\n"
             " \t \r\n"
             "C:\\tools\\missing.exe -x > m.txt\r\n"
             "; C:\\tools\\other.exe\r\n"
             "C:\\tools\\other.exe  >  out.txt  \r\n"
             "> C:\\tools\\agent.exe\r\n"
             "C:\\Program Files\\App\\app.exe -x\r\n"     // split at the first blank
             "\"C:\\Program Files\\App\\app.exe\" -x\r\n" // a quoted path
             "C:\\tools\r\n" +
             std::string("C:\\tools\\agent.exe \0-x\r\n", 24) +
             "# a comment\r\n"
             "C:\\tools\\agent.exe -q"); // last line without an end of line
    auto& svc = Make();
    EXPECT_TRUE(svc.uservice_on_start());
    EXPECT_THAT(
        Log(),
        ElementsAre(R"(app: skipped line 5 [C:\tools\missing.exe -x > m.txt]: no such program)",
                    R"(app: skipped line 8 [> C:\tools\agent.exe]: invalid line)",
                    R"(app: skipped line 9 [C:\Program Files\App\app.exe -x]: no such program)",
                    R"(app: skipped line 11 [C:\tools]: not a file)",
                    R"(app: skipped line 12 [C:\tools\agent.exe ?-x]: invalid line)"));

    const auto items = svc.Items();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].command_line, R"(C:\tools\agent.exe -p 5)");
    EXPECT_EQ(items[0].stderr_target, R"(C:\logs\agent.txt)");
    EXPECT_EQ(items[1].executable, R"(C:\tools\agent.exe)"); // the same program twice
    EXPECT_EQ(items[1].command_line, "");
    EXPECT_EQ(items[1].stderr_target, "nul:");
    EXPECT_EQ(items[2].executable, R"(C:\tools\other.exe)");
    EXPECT_EQ(items[2].stderr_target, "out.txt");
    EXPECT_EQ(items[3].executable, R"(C:\Program Files\App\app.exe)");
    EXPECT_EQ(items[3].command_line, R"("C:\Program Files\App\app.exe" -x)");
    EXPECT_EQ(items[4].command_line, R"(C:\tools\agent.exe -q)");
    for (const auto& item : items) {
        EXPECT_EQ(item.state, ProcState::ToStart);
        EXPECT_EQ(item.stdout_target, "nul:");
    }
}

TEST_F(SupervisorFixture, MissingIniIsLoggedAndTheServiceStillRunsAndStops) {
    auto& svc = MakeOnRealClock(Periods(std::chrono::milliseconds(5)));
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
                                   "app: starting [/opt/broken:/opt/broken -x] Fail: "
                                   "Permission denied (13)",
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

TEST_F(SupervisorFixture, AnEndedProgramIsLoggedAndStartedAgainNoSoonerThanAPeriodAfterItsStart) {
    using std::chrono::milliseconds;
    processes.files = {"/opt/a", "/opt/b"};
    WriteIni("/opt/a -v\n/opt/b\n");
    auto& svc = Make();
    svc.uservice_on_start();
    svc.RunPass();
    // Ended 50 ms after its start: started again 200 ms after that start, not sooner.
    Advance(milliseconds(50));
    processes.End("/opt/a", 3);
    svc.RunPass();
    EXPECT_EQ(svc.Items()[0].state, ProcState::ToStart);
    EXPECT_EQ(Log().back(), "app: check fail [/opt/a], ret_code [3]");
    Advance(milliseconds(149));
    svc.RunPass();
    EXPECT_EQ(svc.Items()[0].state, ProcState::ToStart);
    Advance(milliseconds(1));
    svc.RunPass();
    EXPECT_EQ(Log().back(), "app: starting [/opt/a:/opt/a -v] Ok");
    EXPECT_EQ(svc.Items()[0].state, ProcState::Running);

    // Ended after a longer run: started again in the pass that notices the end. Exit codes
    // are shown unsigned, as the system reports them.
    Advance(milliseconds(5000));
    processes.End("/opt/b", 0xC0000005u);
    svc.RunPass();
    const auto lines = Log();
    EXPECT_THAT(std::vector(lines.end() - 2, lines.end()),
                ElementsAre("app: check fail [/opt/b], ret_code [3221225477]",
                            "app: starting [/opt/b:] Ok"));
    EXPECT_EQ(processes.StartCount(), 4);
}

TEST_F(SupervisorFixture, BackOffDoublesAfterEachShortRunUpToItsMaximumAndResetsAfterALongOne) {
    using std::chrono::milliseconds;
    processes.files = {"/opt/a"};
    WriteIni("/opt/a\n");
    SupervisorSettings settings;
    settings.backoff_max = milliseconds(1000);
    auto& svc = Make(settings);
    svc.uservice_on_start();
    svc.RunPass();
    // Each run ends at once; the program is started again as soon as it may be.
    std::vector<long long> delays;
    for (int run = 0; run < 5; ++run) {
        processes.End("/opt/a", 1);
        svc.RunPass();
        const auto ended_at = now;
        while (svc.Items()[0].state != ProcState::Running) {
            Advance(milliseconds(10));
            svc.RunPass();
        }
        delays.push_back((now - ended_at) / milliseconds(1));
    }
    EXPECT_THAT(delays, ElementsAre(200, 400, 800, 1000, 1000));
    EXPECT_EQ(Log()[1], "app: check fail [/opt/a], ret_code [1]");
    EXPECT_EQ(Log()[2], "app: back-off [/opt/a], next start in 200 ms");
    EXPECT_EQ(Log()[5], "app: back-off [/opt/a], next start in 400 ms");

    // A run of 10 s or more counts as stable: the next end is restarted at once.
    Advance(std::chrono::seconds(10));
    processes.End("/opt/a", 1);
    svc.RunPass();
    EXPECT_EQ(svc.Items()[0].state, ProcState::Running);
    EXPECT_EQ(Log().back(), "app: starting [/opt/a:] Ok");
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
    EXPECT_THAT(processes.events,
                ElementsAre("end /opt/a", "end /opt/c", "end /opt/e", "kill /opt/a", "kill /opt/c",
                            "kill /opt/e", "finish stop"));
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
    auto& svc = MakeOnRealClock(Periods(std::chrono::milliseconds(1)));
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

TEST_F(SupervisorFixture, ReloadKeepsUnchangedLinesStopsRemovedOnesAndStartsNewOnes) {
    processes.files = {"/opt/a", "/opt/b", "/opt/c", "/opt/d"};
    processes.failing = {"/opt/c"};
    WriteIni("/opt/a\n/opt/b -x\n/opt/c\n");
    auto& svc = Make();
    svc.uservice_on_start();
    svc.RunPass();
    const auto b_before = svc.Items()[1].process_information.process_id;
    processes.events.clear();
    log.clear();

    WriteIni("/opt/b -x\n/opt/c\n/opt/d\n/opt/b -x\n");
    svc.Reload();
    EXPECT_THAT(processes.events, ElementsAre("end /opt/a", "kill /opt/a"));
    EXPECT_THAT(Log(),
                ElementsAre("app: stopping [/opt/a]", "app: reload [" + ini_path.string() +
                                                          "], 2 unchanged, 2 new, 1 removed"));
    auto items = svc.Items();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].process_information.process_id, b_before); // left running
    EXPECT_EQ(items[1].state, ProcState::ToStart);                // a failed start is retried
    svc.RunPass();
    EXPECT_EQ(processes.StartCount(), 3); // c (failing again), d and the second b
    EXPECT_EQ(processes.running.size(), 3u);

    // A list that cannot be read leaves everything as it is.
    std::filesystem::remove(ini_path);
    svc.Reload();
    EXPECT_EQ(Log().back(), "app: {error} cannot open ini file [" + ini_path.string() +
                                "], the list stays as it is");
    EXPECT_EQ(svc.Items().size(), 4u);
}

TEST_F(SupervisorFixture, ASecondSupervisorOfTheSameListIsRefusedWhileTheFirstRuns) {
    processes.files = {"/opt/a"};
    WriteIni("/opt/a\n");
    ASSERT_TRUE(Make().uservice_on_start());
    {
        std::vector<std::string> second_log;
        Supervisor second(
            processes, [&](std::string_view line) { second_log.emplace_back(line); },
            ini_path.string());
        EXPECT_FALSE(second.uservice_on_start());
        EXPECT_THAT(second_log,
                    ElementsAre("app: {error} another Torvane supervises [" + ini_path.string() +
                                "], its lock [" + ini_path.string() + ".lock] is held"));
        EXPECT_THAT(second.Items(), IsEmpty());
    }
    supervisor.reset(); // the first one ends and lets go of the list
    EXPECT_TRUE(Make().uservice_on_start());
    EXPECT_EQ(supervisor->Items().size(), 1u);
}

TEST_F(SupervisorFixture, TheLoopActsOnReportedEndsAndReloadsWithoutWaitingForTheCheck) {
    processes.files = {"/opt/a", "/opt/b"};
    WriteIni("/opt/a\n");
    // The periodic check would come only after the test's time is up.
    SupervisorSettings settings;
    settings.check_period = std::chrono::seconds(60);
    settings.restart_interval = std::chrono::milliseconds(1);
    auto& svc = MakeOnRealClock(settings);
    svc.uservice_on_start();
    std::atomic<bool> loop_returned{false};
    std::thread loop([&] {
        EXPECT_TRUE(svc.uservice_on_run());
        loop_returned = true;
    });
    const auto wait_for = [&](auto condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!condition() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    };
    EXPECT_TRUE(wait_for([&] { return processes.StartCount() == 1; }));
    processes.End("/opt/a", 7, true);
    EXPECT_TRUE(wait_for([&] { return processes.StartCount() == 2; }));

    WriteIni("/opt/a\n/opt/b\n");
    svc.uservice_on_reload();
    EXPECT_TRUE(wait_for([&] { return processes.StartCount() == 3; }));
    // The loop's thread started the programs: it stays until the stop has ended them.
    processes.on_kill = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // time enough to leave
        EXPECT_FALSE(loop_returned.load());
    };
    svc.uservice_on_stop();
    loop.join();
    const auto lines = Log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "app: check fail [/opt/a], ret_code [7]"), 1);
    EXPECT_THAT(processes.running, IsEmpty());
}

TEST_F(SupervisorFixture, StopGraceAsksEveryProgramFirstAndKillsOnlyThoseStillRunning) {
    processes.files = {"/opt/polite", "/opt/stubborn"};
    processes.ends_when_asked = {"/opt/polite"};
    WriteIni("/opt/polite\n/opt/stubborn\n");
    SupervisorSettings settings;
    settings.stop_grace = std::chrono::milliseconds(50);
    auto& svc = Make(settings);
    svc.uservice_on_start();
    svc.RunPass();
    processes.events.clear();
    svc.uservice_on_stop();
    EXPECT_THAT(processes.events, ElementsAre("ask /opt/polite", "ask /opt/stubborn",
                                              "kill /opt/stubborn", "finish stop"));
    EXPECT_THAT(processes.running, IsEmpty());
}

TEST_F(SupervisorFixture, StartsOfOnePassRunSideBySideAndAreLoggedInListOrder) {
    processes.files = {"/opt/a", "/opt/b", "/opt/c", "/opt/d"};
    processes.failing = {"/opt/c"};
    processes.ends_at_once = {"/opt/b"};
    WriteIni("/opt/a\n/opt/b\n/opt/c\n/opt/d\n");
    SupervisorSettings settings = Periods(std::chrono::milliseconds(1));
    settings.start_helpers = 3;
    // The first four starts each wait (at most ten seconds) until all four are under way: they
    // are all under way only if they run side by side.
    std::mutex mutex;
    std::condition_variable arrived;
    int under_way = 0;
    bool side_by_side = false;
    processes.on_start = [&] {
        std::unique_lock lock(mutex);
        if (++under_way <= 4) {
            arrived.notify_all();
            side_by_side =
                arrived.wait_for(lock, std::chrono::seconds(10), [&] { return under_way >= 4; });
        }
    };
    auto& svc = MakeOnRealClock(settings);
    svc.uservice_on_start();
    std::thread loop([&] { EXPECT_TRUE(svc.uservice_on_run()); });
    // The pool serves pass after pass: /opt/b, which ends at once, is started again.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (processes.StartCount() < 6 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    svc.uservice_on_stop();
    loop.join();
    EXPECT_TRUE(side_by_side);
    const auto lines = Log();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 6),
                ElementsAre("app: starting [/opt/a:] Ok", "app: starting [/opt/b:] Ok",
                            "app: starting [/opt/c:] Fail: Permission denied (13)",
                            "app: starting [/opt/d:] Ok", "app: check fail [/opt/b], ret_code [0]",
                            "app: starting [/opt/b:] Ok"));
    EXPECT_THAT(processes.running, IsEmpty());
}
