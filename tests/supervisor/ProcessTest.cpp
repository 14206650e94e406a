// The process helpers over real processes: the test child program is started, watched and
// terminated the way the supervisor does it.
#include "supervisor/Platform.h"
#include "supervisor/UProcess.h"
#include "tests/FileText.h"

#include <gtest/gtest.h>

#include <random>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

using namespace torvane;

namespace {

const std::string kChild = TORVANE_TEST_CHILD;

struct TempDir {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("torvane_process_test_" + std::to_string(std::random_device{}()));
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() { std::filesystem::remove_all(path); }
};

// Waits (at most ten seconds) for the program to end; its exit code, or nothing.
std::optional<std::uint32_t> WaitForEnd(ProcessInformation& information) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::uint32_t exit_code = 0;
    while (IsProcessActive(information, exit_code)) {
        if (std::chrono::steady_clock::now() > deadline) {
            KillProcess(information);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return exit_code;
}

bool Start(const std::string& command_line, const std::string& stdout_target,
           const std::string& stderr_target, ProcessInformation& information) {
    unsigned long error = 0;
    return StartProcess(kChild, command_line, stdout_target, stderr_target, information, error);
}

// Waits (at most ten seconds) until the file stops growing: whoever writes it has gone.
bool StopsGrowing(const std::filesystem::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    auto size = testfiles::ReadAll(file).size();
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto now = testfiles::ReadAll(file).size();
        if (now == size && now > 0) {
            return true;
        }
        size = now;
    }
    return false;
}

bool Grows(const std::filesystem::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto size = testfiles::ReadAll(file).size();
    while (testfiles::ReadAll(file).size() <= size + 2 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return testfiles::ReadAll(file).size() > size + 2;
}

} // namespace

TEST(Process, EndedProgramGivesItsExitCodeAndAppendsItsStandardError) {
    TempDir dir;
    const auto err = dir.path / "err.txt";
    std::ofstream(err, std::ios::binary) << "kept\n";

    for (int run = 0; run < 2; ++run) {
        ProcessInformation information;
        ASSERT_TRUE(Start(kChild + " exit 3 0", kNullTarget, err.string(), information));
        EXPECT_NE(information.process_id, 0u);
        EXPECT_EQ(WaitForEnd(information), 3u);
        EXPECT_EQ(information.process_handle, 0); // released once seen ended
    }

    const std::string text = testfiles::ReadAll(err);
    EXPECT_EQ(text.rfind("kept\n", 0), 0u) << text;
    // Each run appended its line: run in its own directory, nothing on standard input.
    const std::string child_dir = std::filesystem::path(kChild).parent_path().string();
    std::size_t lines = 0;
    for (std::size_t at = text.find("child: "); at != std::string::npos;
         at = text.find("child: ", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 2u) << text;
    EXPECT_NE(text.find("args=4 "), std::string::npos) << text;
    EXPECT_NE(text.find("stdin=empty"), std::string::npos) << text;
    EXPECT_EQ(text.find("standard output"), std::string::npos) << text; // sent to "nul:"
    const auto cwd_at = text.find("cwd=") + 4;
    const std::string cwd = text.substr(cwd_at, text.find(" stdin=") - cwd_at);
    EXPECT_TRUE(std::filesystem::equivalent(cwd, child_dir)) << cwd << " vs " << child_dir;
}

TEST(Process, ProgramWithoutCommandLineRunsAndOutputTargetsAreAppended) {
    TempDir dir;
    const auto out = dir.path / "out.txt";
    ProcessInformation information;
    // Without arguments the child prints its usage on standard error and exits with 2.
    ASSERT_TRUE(Start("", out.string(), out.string(), information));
    EXPECT_EQ(WaitForEnd(information), 2u);
    EXPECT_NE(testfiles::ReadAll(out).find("usage:"), std::string::npos);
}

TEST(Process, FailedStartLeavesTheInformationZero) {
    TempDir dir;
    ProcessInformation information;
    information.process_id = 77;
    const std::string missing = (dir.path / "missing.exe").string();
    unsigned long error = 0;
    EXPECT_FALSE(StartProcess(missing, "", kNullTarget, kNullTarget, information, error));
    EXPECT_EQ(error, 2u); // ENOENT and ERROR_FILE_NOT_FOUND alike
    EXPECT_FALSE(SystemProcesses().DescribeError(error).empty());
    EXPECT_EQ(information.process_handle, 0);
    EXPECT_EQ(information.thread_handle, 0);
    EXPECT_EQ(information.process_id, 0u);

    // A target that cannot be opened fails the start too.
    const std::string bad_target = (dir.path / "no" / "such" / "dir.txt").string();
    EXPECT_FALSE(Start("", kNullTarget, bad_target, information));
    EXPECT_EQ(information.process_id, 0u);

    EXPECT_EQ(ProbeFile(missing), FileKind::Missing);
    EXPECT_EQ(ProbeFile(dir.path.string()), FileKind::NotAFile);
    EXPECT_EQ(ProbeFile(kChild), FileKind::File);
}

TEST(Process, KillEndsARunningProgram) {
    TempDir dir;
    const auto ticks = dir.path / "ticks.txt";
    ProcessInformation information;
    ASSERT_TRUE(Start(kChild + " tick " + ticks.string(), kNullTarget, kNullTarget, information));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (testfiles::ReadAll(ticks).size() < 10 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::uint32_t exit_code = 0;
    EXPECT_TRUE(IsProcessActive(information, exit_code));
    KillProcess(information);
    EXPECT_EQ(information.process_handle, 0);
    EXPECT_EQ(information.process_id, 0u);

    // Once killed the program writes no more.
    const auto written = testfiles::ReadAll(ticks).size();
    EXPECT_GE(written, 10u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(testfiles::ReadAll(ticks).size(), written);
}

TEST(Process, AProgramsDescendantsEndWithItWhetherKilledOrEndingOnItsOwn) {
    TempDir dir;
    const auto killed_family = dir.path / "killed.txt";
    ProcessInformation killed;
    ASSERT_TRUE(Start(kChild + " family " + killed_family.string() + " 0", kNullTarget, kNullTarget,
                      killed));
    ASSERT_TRUE(Grows(killed_family));
    KillProcess(killed);
    EXPECT_TRUE(StopsGrowing(killed_family)) << "the grandchild survived the kill";

    const auto ended_family = dir.path / "ended.txt";
    ProcessInformation ended;
    ASSERT_TRUE(Start(kChild + " family " + ended_family.string() + " 300", kNullTarget,
                      kNullTarget, ended));
    ASSERT_TRUE(Grows(ended_family));
    EXPECT_EQ(WaitForEnd(ended), 0u);
    EXPECT_TRUE(StopsGrowing(ended_family)) << "the grandchild outlived its program";
}

TEST(Process, EndsAreReportedAsTheyHappen) {
    platform::PrepareProcess(); // SIGCHLD is read by the helpers' own thread
    std::mutex mutex;
    std::condition_variable reported;
    int reports = 0;
    WatchProcessEnds([&] {
        const std::lock_guard lock(mutex);
        ++reports;
        reported.notify_all();
    });
    TakeEndedProcessIds();
    ProcessInformation information;
    ASSERT_TRUE(Start(kChild + " exit 5 100", kNullTarget, kNullTarget, information));
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(reported.wait_for(lock, std::chrono::seconds(10), [&] { return reports > 0; }));
    }
    const auto ended = TakeEndedProcessIds();
    EXPECT_NE(std::find(ended.begin(), ended.end(), information.process_id), ended.end());
    std::uint32_t exit_code = 0;
    EXPECT_FALSE(IsProcessActive(information, exit_code));
    EXPECT_EQ(exit_code, 5u);
    WatchProcessEnds(nullptr);
}

#ifndef _WIN32
// The zombies among the test's own children (ended, not reaped).
std::vector<pid_t> UnreapedChildren() {
    std::vector<pid_t> zombies;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream children(task.path() / "children");
        for (pid_t pid = 0; children >> pid;) {
            const auto stat = testfiles::ReadAll("/proc/" + std::to_string(pid) + "/stat");
            const auto state = stat.rfind(')');
            if (state != std::string::npos && stat.size() > state + 2 && stat[state + 2] == 'Z') {
                zombies.push_back(pid);
            }
        }
    }
    return zombies;
}

// Many programs ending close together are each reported once, each with its own exit code,
// and the orphans they leave (adopted by the supervisor) are reaped soon after.
TEST(Process, EndsTogetherAreEachReportedOnceAndOrphansAreReaped) {
    platform::PrepareProcess(); // the supervisor adopts orphans; SIGCHLD read by the helpers
    std::mutex mutex;
    std::condition_variable reported;
    std::vector<std::uint32_t> ended;
    WatchProcessEnds([&] {
        const std::lock_guard lock(mutex);
        for (const auto pid : TakeEndedProcessIds()) {
            ended.push_back(pid);
        }
        reported.notify_all();
    });
    TakeEndedProcessIds();
    constexpr int kPrograms = 40;
    std::vector<ProcessInformation> programs(kPrograms);
    for (int index = 0; index < kPrograms; ++index) {
        ASSERT_TRUE(Start(kChild + " exit " + std::to_string(index % 7) + " 50", kNullTarget,
                          kNullTarget, programs[index]));
    }
    TempDir dir;
    ProcessInformation family; // its own child outlives it briefly: killed, then an orphan
    ASSERT_TRUE(Start(kChild + " family " + (dir.path / "ticks.txt").string() + " 100", kNullTarget,
                      kNullTarget, family));
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(reported.wait_for(lock, std::chrono::seconds(10),
                                      [&] { return ended.size() >= kPrograms + 1; }));
        auto sorted = ended;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end())
            << "an end was reported twice";
    }
    for (int index = 0; index < kPrograms; ++index) {
        std::uint32_t exit_code = 99;
        EXPECT_FALSE(IsProcessActive(programs[index], exit_code));
        EXPECT_EQ(exit_code, static_cast<std::uint32_t>(index % 7)) << "program " << index;
    }
    EXPECT_EQ(WaitForEnd(family), 0u);
    EXPECT_TRUE(StopsGrowing(dir.path / "ticks.txt")); // the orphan has died, reaped or not
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!UnreapedChildren().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(UnreapedChildren().empty()) << "an ended child was left unreaped";
    WatchProcessEnds(nullptr);
}
#endif

#ifdef _WIN32
// 259 is also the "still active" code; a program that ends with it has still ended.
TEST(Process, ProgramEndingWithCode259IsSeenAsEnded) {
    ProcessInformation information;
    ASSERT_TRUE(Start(kChild + " exit 259 0", kNullTarget, kNullTarget, information));
    EXPECT_EQ(WaitForEnd(information), 259u);
}
#endif
