// The process helpers over real processes: the test child program is started, watched and
// terminated the way the supervisor does it.
#include "supervisor/UProcess.h"

#include <gtest/gtest.h>

#include <random>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using namespace torvane;

namespace {

const std::string kChild = TORVANE_TEST_CHILD;

struct TempDir {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("torvane_process_test_" + std::to_string(std::random_device{}()));
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() { std::filesystem::remove_all(path); }
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

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

} // namespace

TEST(Process, EndedProgramGivesItsExitCodeAndAppendsItsStandardError) {
    TempDir dir;
    const auto err = dir.path / "err.txt";
    std::ofstream(err, std::ios::binary) << "kept\n";

    for (int run = 0; run < 2; ++run) {
        ProcessInformation information;
        ASSERT_TRUE(
            StartProcess(kChild, kChild + " exit 3 0", kNullTarget, err.string(), information));
        EXPECT_NE(information.process_id, 0u);
        EXPECT_EQ(WaitForEnd(information), 3u);
        EXPECT_EQ(information.process_handle, 0); // released once seen ended
    }

    const std::string text = ReadAll(err);
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
    ASSERT_TRUE(StartProcess(kChild, "", out.string(), out.string(), information));
    EXPECT_EQ(WaitForEnd(information), 2u);
    EXPECT_NE(ReadAll(out).find("usage:"), std::string::npos);
}

TEST(Process, FailedStartLeavesTheInformationZero) {
    TempDir dir;
    ProcessInformation information;
    information.process_id = 77;
    const std::string missing = (dir.path / "missing.exe").string();
    EXPECT_FALSE(StartProcess(missing, "", kNullTarget, kNullTarget, information));
    EXPECT_EQ(information.process_handle, 0);
    EXPECT_EQ(information.thread_handle, 0);
    EXPECT_EQ(information.process_id, 0u);

    // A target that cannot be opened fails the start too.
    const std::string bad_target = (dir.path / "no" / "such" / "dir.txt").string();
    EXPECT_FALSE(StartProcess(kChild, "", kNullTarget, bad_target, information));
    EXPECT_EQ(information.process_id, 0u);

    EXPECT_FALSE(FileExists(missing));
    EXPECT_FALSE(FileExists(dir.path.string())); // a directory is not a program
    EXPECT_TRUE(FileExists(kChild));
}

TEST(Process, KillEndsARunningProgram) {
    TempDir dir;
    const auto ticks = dir.path / "ticks.txt";
    ProcessInformation information;
    ASSERT_TRUE(StartProcess(kChild, kChild + " tick " + ticks.string(), kNullTarget, kNullTarget,
                             information));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ReadAll(ticks).size() < 10 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::uint32_t exit_code = 0;
    EXPECT_TRUE(IsProcessActive(information, exit_code));
    KillProcess(information);
    EXPECT_EQ(information.process_handle, 0);
    EXPECT_EQ(information.process_id, 0u);

    // Once killed the program writes no more.
    const auto written = ReadAll(ticks).size();
    EXPECT_GE(written, 10u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ReadAll(ticks).size(), written);
}

#ifdef _WIN32
// 259 is also the "still active" code; a program that ends with it has still ended.
TEST(Process, ProgramEndingWithCode259IsSeenAsEnded) {
    ProcessInformation information;
    ASSERT_TRUE(
        StartProcess(kChild, kChild + " exit 259 0", kNullTarget, kNullTarget, information));
    EXPECT_EQ(WaitForEnd(information), 259u);
}
#endif
