// The fault suite: the built service and real processes put through what months unattended
// bring (signals, a full disk, an unwritable log, a second copy, its own sudden death, crash
// loops, broken list lines). Each scenario checks what must hold and adds a row to the table
// printed at the end: fault, what Torvane did, what survived, what was lost.
#include "ServiceRun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <regex>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

using namespace service_test;
using ::testing::HasSubstr;

namespace {

using namespace std::chrono_literals;

const std::string kChild = TORVANE_TEST_CHILD;

struct Row {
    std::string fault;
    std::string did;
    std::string survived;
    std::string lost;
};

std::vector<Row>& Table() {
    static std::vector<Row> rows;
    return rows;
}

class PrintTable : public ::testing::Environment {
public:
    void TearDown() override {
        std::cout << "\nFault suite\n";
        for (const auto& row : Table()) {
            std::cout << "- fault:    " << row.fault << "\n  did:      " << row.did
                      << "\n  survived: " << row.survived << "\n  lost:     " << row.lost << "\n";
        }
    }
};
const auto* const kTable = ::testing::AddGlobalTestEnvironment(new PrintTable);

// The supervised programs (the guardian is Torvane's child too).
std::vector<pid_t> ProgramsOf(pid_t torvane) {
    auto children = ChildrenOf(torvane);
    std::erase_if(children, [](pid_t pid) {
        return ReadAll("/proc/" + std::to_string(pid) + "/comm") == "torvane-guard\n";
    });
    return children;
}

bool AllGone(const std::vector<pid_t>& pids) {
    return WaitUntil([&] { return std::none_of(pids.begin(), pids.end(), Alive); }, 5s);
}

// A file that some process appends to every 10 ms.
bool Grows(const fs::path& file) {
    const auto size = ReadAll(file).size();
    return WaitUntil([&] { return ReadAll(file).size() > size + 20; });
}
bool StopsGrowing(const fs::path& file) {
    return WaitUntil(
        [&] {
            const auto size = ReadAll(file).size();
            std::this_thread::sleep_for(100ms);
            return ReadAll(file).size() == size;
        },
        5s);
}

// Whether the process has set up its own answer to SIGTERM (caught or ignored), as its status
// in /proc tells.
bool SetUpSigterm(pid_t pid) {
    std::istringstream status(ReadAll("/proc/" + std::to_string(pid) + "/status"));
    const unsigned long long sigterm = 1ull << (SIGTERM - 1);
    unsigned long long answered = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigIgn:", 0) == 0 || line.rfind("SigCgt:", 0) == 0) {
            answered |= std::stoull(line.substr(7), nullptr, 16);
        }
    }
    return (answered & sigterm) != 0;
}

std::string Repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += line;
    }
    return text;
}

long long Ms(Clock::duration span) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(span).count();
}

} // namespace

TEST(FaultSuite, SighupReloadsTheListAndLeavesRunningProgramsAlone) {
    ServiceRun run;
    run.WriteIni(Repeat(kChild + " sleep\n", 2));
    run.Start();
    const std::string started = "app: starting [" + kChild + ":" + kChild + " sleep] Ok";
    ASSERT_TRUE(run.WaitForLogLine(started, 2));
    const auto programs = ProgramsOf(run.Pid());
    ASSERT_EQ(programs.size(), 2u);

    kill(run.Pid(), SIGHUP);
    const std::string reload = "app: reload [" + (run.dir / "Torvane.ini").string() + "], ";
    ASSERT_TRUE(run.WaitForLogLine(reload + "2 unchanged, 0 new, 0 removed"));
    run.WriteIni(Repeat(kChild + " sleep\n", 3));
    kill(run.Pid(), SIGHUP);
    ASSERT_TRUE(run.WaitForLogLine(reload + "2 unchanged, 1 new, 0 removed"));
    ASSERT_TRUE(run.WaitForLogLine(started, 3));
    auto now_running = ProgramsOf(run.Pid());
    EXPECT_EQ(now_running.size(), 3u);
    for (const pid_t pid : programs) {
        EXPECT_NE(std::find(now_running.begin(), now_running.end(), pid), now_running.end());
    }
    EXPECT_EQ(Count(run.Log(), "userv: control SERVICE_CONTROL_PARAMCHANGE"), 2u);
    run.StopWith(SIGTERM);
    Table().push_back({"SIGHUP twice, the list grown by one line in between",
                       "reloaded: 2 unchanged, then 1 new started", "both programs, untouched",
                       "nothing"});
}

TEST(FaultSuite, MoreStopSignalsDuringTheStopChangeNothing) {
    ServiceRun run;
    run.WriteIni(Repeat(kChild + " sleep\n", 100));
    run.Start();
    ASSERT_TRUE(run.WaitForLogLine("app: starting [" + kChild + ":" + kChild + " sleep] Ok", 100));
    const auto programs = ProgramsOf(run.Pid());
    kill(run.Pid(), SIGTERM);
    kill(run.Pid(), SIGTERM);
    kill(run.Pid(), SIGINT);
    EXPECT_EQ(run.WaitForExit(), 0);
    EXPECT_TRUE(AllGone(programs));
    const auto log = run.Log();
    EXPECT_EQ(Count(log, "userv: control SERVICE_CONTROL_STOP"), 1u);
    EXPECT_EQ(log.back(), kStopBanner);
    Table().push_back({"SIGTERM, then SIGTERM and SIGINT during the stop of 100 programs",
                       "one stop, exit status 0", "none", "nothing"});
}

TEST(FaultSuite, AnUnwritableLogHoldsUpNeitherStartNorStop) {
    constexpr int kPrograms = 300;
    struct Timing {
        Clock::duration start;
        Clock::duration stop;
        std::string errors;
    };
    const auto run_with_log = [&](const std::optional<std::string>& log) {
        ServiceRun run;
        run.WriteIni(Repeat(kChild + " sleep\n", kPrograms));
        const auto began = Clock::now();
        run.Start(log ? std::vector<std::string>{"--log", *log} : std::vector<std::string>{});
        EXPECT_TRUE(WaitUntil([&] { return ProgramsOf(run.Pid()).size() == kPrograms; }, 60s));
        const auto all_started = Clock::now();
        const auto programs = ProgramsOf(run.Pid());
        kill(run.Pid(), SIGTERM);
        EXPECT_EQ(run.WaitForExit(60s), 0);
        const auto stopped = Clock::now();
        EXPECT_TRUE(AllGone(programs));
        return Timing{all_started - began, stopped - all_started, ReadAll(run.dir / "stderr.txt")};
    };
    const Timing writable = run_with_log(std::nullopt);
    const Timing unwritable = run_with_log("/nonexistent-torvane-dir/Torvane.log");

    // Measured against the same work with a log that can be written, in the same run, with room
    // for a busy machine: the fault held every start and stop up by about 20 ms a line (7 s).
    EXPECT_LT(unwritable.start, writable.start * 3 + 3s);
    EXPECT_LT(unwritable.stop, writable.stop * 3 + 3s);
    EXPECT_THAT(writable.errors, ::testing::IsEmpty());
    const std::regex once("cannot write the log file");
    EXPECT_EQ(std::distance(
                  std::sregex_iterator(unwritable.errors.begin(), unwritable.errors.end(), once),
                  std::sregex_iterator()),
              1)
        << unwritable.errors;
    Table().push_back(
        {"log file unwritable, 300 programs",
         "started all in " + std::to_string(Ms(unwritable.start)) + " ms (" +
             std::to_string(Ms(writable.start)) + " ms with a writable log), stopped in " +
             std::to_string(Ms(unwritable.stop)) + " ms (" + std::to_string(Ms(writable.stop)) +
             " ms); said so once on standard error",
         "none after the stop", "the log's lines, as standard error says"});
}

TEST(FaultSuite, AFullDiskTearsNoLogLineAndLosesNone) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to mount a small file system";
    }
    ServiceRun run;
    const fs::path disk = run.dir / "disk";
    fs::create_directories(disk);
    // A file system of its own, in a mount namespace of the test's own.
    ASSERT_EQ(unshare(CLONE_NEWNS), 0);
    ASSERT_EQ(mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
    ASSERT_EQ(mount("torvane-test", disk.c_str(), "tmpfs", 0, "size=64k"), 0);
    struct Unmount {
        fs::path at;
        ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};

    // Ten programs ending every 30 ms log about 100 lines a second. Each has a name of its
    // own (a link to the test program) and a file of start stamps.
    constexpr int kPrograms = 10;
    std::string ini;
    const auto program = [&](int index) { return run.dir / ("program" + std::to_string(index)); };
    const auto stamps = [&](int index) { return run.dir / ("stamps" + std::to_string(index)); };
    for (int index = 0; index < kPrograms; ++index) {
        fs::create_symlink(kChild, program(index));
        ini += program(index).string() + " exit 3 30 " + stamps(index).string() + "\n";
    }
    run.WriteIni(ini);
    run.log_path = disk / "Torvane.log";
    run.Start({"--log", run.log_path.string()});
    ASSERT_TRUE(WaitUntil([&] { return run.Log().size() > 50; }));

    // Fill every byte that is left, then let the service log into the full disk a while.
    {
        const int filler = open((disk / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(filler, 0);
        const std::string block(4096, 'f');
        for (std::size_t size = block.size(); size > 0; size /= 2) {
            while (write(filler, block.data(), size) == static_cast<ssize_t>(size)) {
            }
        }
        close(filler);
    }
    std::this_thread::sleep_for(1500ms);
    const std::size_t during = ReadAll(run.log_path).size();
    fs::remove(disk / "filler");
    ASSERT_TRUE(WaitUntil([&] { return ReadAll(run.log_path).size() > during; }));
    std::this_thread::sleep_for(500ms);
    run.StopWith(SIGTERM);

    const std::string text = ReadAll(run.log_path);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    const auto log = run.Log(); // every line whole, stamped and ended with CR LF
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(log.back(), kStopBanner);
    // Each program's lines alternate: started, ended, started ... A lost line would break the
    // alternation; every start the program stamped is logged (the last start may have been
    // stopped before it stamped).
    long starts = 0;
    for (int index = 0; index < kPrograms; ++index) {
        const std::string name = program(index).string();
        const std::string started = "app: starting [" + name + ":";
        const std::string ended = "app: check fail [" + name + "], ret_code [3]";
        std::string sequence;
        for (const auto& line : log) {
            sequence += line.rfind(started, 0) == 0 ? "s" : line == ended ? "e" : "";
        }
        EXPECT_TRUE(std::regex_match(sequence, std::regex("(se)*s?"))) << name << ": " << sequence;
        const auto stamped = StartStamps(stamps(index)).size();
        const auto logged =
            static_cast<std::size_t>(std::count(sequence.begin(), sequence.end(), 's'));
        EXPECT_GE(logged, stamped) << name;
        EXPECT_LE(logged, stamped + 1) << name;
        starts += static_cast<long>(logged);
    }
    const std::string errors = ReadAll(run.dir / "stderr.txt");
    EXPECT_THAT(errors, HasSubstr("cannot write the log file"));
    EXPECT_THAT(errors, HasSubstr("the log file is written again"));
    Table().push_back({"disk full for 1.5 s, then freed, 10 programs ending every 30 ms",
                       "kept the lines it could not write and wrote them once there was room; "
                       "said so on standard error",
                       "the programs, restarted throughout",
                       "0 torn lines, 0 lost (" + std::to_string(starts) + " starts logged)"});
}

TEST(FaultSuite, ChildrenGetNothingOfWhatStartedTorvane) {
    ServiceRun run;
    const fs::path report = run.dir / "report.txt";
    run.WriteIni(kChild + " report > " + report.string() + "\n" + kChild + " exit 3 10\n");
    // Whoever starts Torvane may leave a descriptor open and signals ignored.
    run.Start({}, {}, "exec 9>>'" + (run.dir / "leak.txt").string() + "'; trap '' CHLD HUP PIPE");
    ASSERT_TRUE(run.WaitForLogLine("app: check fail [" + kChild + "], ret_code [3]", 2));
    ASSERT_TRUE(WaitUntil([&] { return ReadAll(report).find("child: ") != std::string::npos; }));
    // Descriptor 3 is the child's own listing of /proc/self/fd.
    EXPECT_THAT(ReadAll(report),
                HasSubstr("child: fds=0,1,2,3 blocked=0000000000000000 ignored=0000000000000000"));
    run.StopWith(SIGTERM);
    Table().push_back({"started with descriptor 9 open and SIGCHLD, SIGHUP, SIGPIPE ignored",
                       "set its own signals back; exit codes read right (3, not 4294967295)",
                       "children with only 0, 1, 2, default signals and an empty mask", "nothing"});
}

TEST(FaultSuite, AProgramsOwnChildrenDoNotSurviveTheStop) {
    ServiceRun run;
    const fs::path ticks = run.dir / "ticks.txt";
    run.WriteIni(kChild + " family " + ticks.string() + " 0\n");
    run.Start();
    ASSERT_TRUE(Grows(ticks));
    run.StopWith(SIGTERM);
    EXPECT_TRUE(StopsGrowing(ticks));
    Table().push_back({"stop while a program runs a child of its own",
                       "ended the program's whole process group", "none", "nothing"});
}

TEST(FaultSuite, KillingTorvaneLeavesNothingBehindAndTheNextStartRunsOnce) {
    ServiceRun run;
    const fs::path ticks = run.dir / "ticks.txt";
    run.WriteIni(kChild + " family " + ticks.string() + " 0\n" + Repeat(kChild + " sleep\n", 2));
    run.Start();
    ASSERT_TRUE(Grows(ticks));
    ASSERT_TRUE(WaitUntil([&] { return ProgramsOf(run.Pid()).size() == 3; }));
    const auto programs = ProgramsOf(run.Pid());
    kill(run.Pid(), SIGKILL);
    run.WaitForExit();
    EXPECT_TRUE(AllGone(programs));
    EXPECT_TRUE(StopsGrowing(ticks));

    run.Start();
    ASSERT_TRUE(WaitUntil([&] { return ProgramsOf(run.Pid()).size() == 3; }));
    EXPECT_TRUE(Grows(ticks));
    const auto again = ProgramsOf(run.Pid());
    run.StopWith(SIGTERM);
    EXPECT_TRUE(AllGone(again));
    Table().push_back({"SIGKILL of Torvane",
                       "its programs died by their parent-death signal, their children by the "
                       "guardian; the next start ran each program once",
                       "none", "nothing"});
}

TEST(FaultSuite, ASecondTorvaneOnTheSameListRefusesToRun) {
    ServiceRun run;
    run.WriteIni(kChild + " sleep\n");
    run.Start();
    ASSERT_TRUE(run.WaitForLogLine("app: starting [" + kChild + ":" + kChild + " sleep] Ok"));
    const Finished second = RunToEnd({run.binary.string()}, run.dir);
    EXPECT_EQ(second.status, 1);
    const std::string ini = (run.dir / "Torvane.ini").string();
    EXPECT_EQ(Count(run.Log(), "app: {error} another Torvane supervises [" + ini + "], its lock [" +
                                   ini + ".lock] is held"),
              1u);
    EXPECT_EQ(Count(run.Log(), "userv: {error} uservice_on_start failed"), 1u);
    EXPECT_EQ(ProgramsOf(run.Pid()).size(), 1u);
    run.StopWith(SIGTERM);
    Table().push_back({"a second Torvane on the same list",
                       "refused to start: logged why, exit status 1",
                       "the first one and its program, once", "nothing"});
}

TEST(FaultSuite, CrashLoopsRunNoFasterThanFiveStartsASecondAndBackOffWhenAsked) {
    const auto starts_in = [](std::vector<std::string> arguments, Clock::duration window) {
        ServiceRun run;
        const fs::path stamps = run.dir / "stamps.txt";
        run.WriteIni(kChild + " exit 1 0 " + stamps.string() + "\n");
        run.Start(std::move(arguments));
        std::this_thread::sleep_for(window + 300ms);
        run.StopWith(SIGTERM);
        const auto starts = StartStamps(stamps);
        return starts.empty() ? 0 : std::count_if(starts.begin(), starts.end(), [&](long long ns) {
            return ns - starts.front() < window.count();
        });
    };
    const auto window = std::chrono::duration_cast<std::chrono::nanoseconds>(3s);
    const auto plain = starts_in({}, window);
    const auto backed_off = starts_in({"--backoff", "1"}, window);
    EXPECT_GE(plain, 5);
    EXPECT_LE(plain, 16);     // 5 a second, and the first
    EXPECT_LE(backed_off, 7); // 0.2, 0.4, 0.8 and 1 s apart
    Table().push_back({"a program that ends as soon as it starts",
                       std::to_string(plain) + " starts in 3 s without back-off, " +
                           std::to_string(backed_off) + " with --backoff 1",
                       "—", "—"});
}

TEST(FaultSuite, BrokenListLinesAreNamedAndAQuotedPathRuns) {
    ServiceRun run;
    const fs::path not_executable = run.dir / "notes.txt";
    std::ofstream(not_executable) << "not a program\n";
    const fs::path spaced = run.dir / "with blanks" / "child";
    fs::create_directories(spaced.parent_path());
    fs::copy_file(kChild, spaced);
    run.WriteIni(not_executable.string() + "\n" + std::string("/bin/true \0 -x\n", 15) + "\"" +
                 spaced.string() + "\" sleep\n" + spaced.string() + " sleep\n");
    run.Start();
    ASSERT_TRUE(run.WaitForLogLine("app: starting [" + spaced.string() + ":\"" + spaced.string() +
                                   "\" sleep] Ok"));
    const auto log = run.Log();
    EXPECT_EQ(
        Count(log, "app: starting [" + not_executable.string() + ":] Fail: Permission denied (13)"),
        1u);
    EXPECT_EQ(Count(log, "app: skipped line 2 [/bin/true ? -x]: invalid line"), 1u);
    EXPECT_EQ(Count(log, "app: skipped line 4 [" + spaced.string() + " sleep]: no such program"),
              1u);
    EXPECT_EQ(ReadAll(run.log_path).find('\0'), std::string::npos);
    run.StopWith(SIGTERM);
    Table().push_back({"list with a program that cannot run, a zero byte, a path with blanks",
                       "Fail with the system's reason; each skipped line named once with why; "
                       "the quoted path run",
                       "—", "no zero byte in the log"});
}

TEST(FaultSuite, AnEndIsAnsweredAtOnce) {
    ServiceRun run;
    const fs::path stamps = run.dir / "stamps.txt";
    run.WriteIni(kChild + " exit 0 300 " + stamps.string() + "\n");
    run.Start();
    std::this_thread::sleep_for(3s);
    run.StopWith(SIGTERM);
    auto gaps = RestartGapsMs(stamps);
    ASSERT_GE(gaps.size(), 4u);
    std::sort(gaps.begin(), gaps.end());
    std::ostringstream figures;
    figures << std::fixed << std::setprecision(1) << "restarted after " << gaps[gaps.size() / 2]
            << " ms (median), " << gaps.back() << " ms at most, of " << gaps.size();
    Table().push_back({"a program that ends every 300 ms", figures.str(), "—", "—"});
}

TEST(FaultSuite, AStopWithGraceAsksFirstAndKillsOnlyWhatStaysPastIt) {
    ServiceRun run;
    const fs::path asked = run.dir / "asked.txt";
    run.WriteIni(kChild + " polite " + asked.string() + "\n" + kChild + " stubborn\n");
    run.Start({"--stop-grace", "1"});
    ASSERT_TRUE(WaitUntil([&] { return ProgramsOf(run.Pid()).size() == 2; }));
    const auto programs = ProgramsOf(run.Pid());
    ASSERT_TRUE(
        WaitUntil([&] { return std::all_of(programs.begin(), programs.end(), SetUpSigterm); }));
    const auto began = Clock::now();
    run.StopWith(SIGTERM);
    const auto took = Clock::now() - began;
    EXPECT_EQ(ReadAll(asked), "asked\n");
    EXPECT_GE(took, 1s); // the stubborn one was given its grace
    EXPECT_TRUE(AllGone(programs));
    Table().push_back({"stop with --stop-grace 1, one program that ends when asked, one that "
                       "ignores it",
                       "asked both at once (SIGTERM to each group), killed the stubborn one after "
                       "the grace; stopped in " +
                           std::to_string(Ms(took)) + " ms",
                       "none", "nothing"});
}
