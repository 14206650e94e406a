#include "supervisor/Uservice.h"
#include "tests/FileText.h"

#include <gtest/gtest.h>

#include <random>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

using namespace torvane;

namespace {

// Lines without their CR LF; fails the test when a line lacks its CR.
std::vector<std::string> LogLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::istringstream text(testfiles::ReadAll(path));
    for (std::string line; std::getline(text, line);) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

const std::regex kStampedLine(R"(\[\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\] (.*))");

struct TempLog {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("torvane_log_test_" + std::to_string(std::random_device{}()) + ".log");
    ~TempLog() { std::filesystem::remove(path); }
};

} // namespace

TEST(LogLine, DayMonthYearTimeThenTheMessageAndCrLf) {
    std::tm time{};
    time.tm_mday = 8;
    time.tm_mon = 11;
    time.tm_year = 2026 - 1900;
    time.tm_hour = 3;
    time.tm_min = 12;
    time.tm_sec = 50;
    EXPECT_EQ(FormatLogLine(time, "userv: starting"), "[08.12.2026 03:12:50] userv: starting\r\n");
    time.tm_hour = 23;
    time.tm_min = 5;
    time.tm_sec = 9;
    time.tm_mday = 31;
    time.tm_mon = 0;
    EXPECT_EQ(FormatLogLine(time, ""), "[31.01.2026 23:05:09] \r\n");
}

TEST(LogPath, ExtensionOfTheExecutableIsReplaced) {
    EXPECT_EQ(ChangeFileExt(R"(C:\svc\x.exe)", ".log"), R"(C:\svc\x.log)");
    EXPECT_EQ(ChangeFileExt("/opt/torvane/Torvane", ".ini"), "/opt/torvane/Torvane.ini");
    EXPECT_EQ(ChangeFileExt("/opt/v1.2/Torvane", ".log"), "/opt/v1.2/Torvane.log");
    EXPECT_EQ(ChangeFileExt(R"(C:\a.b\svc.x.exe)", ".ini"), R"(C:\a.b\svc.x.ini)");

    const std::filesystem::path log = DefaultLogPath();
    EXPECT_EQ(log.extension(), ".log");
    EXPECT_TRUE(std::filesystem::exists(log.parent_path() / log.stem()) ||
                std::filesystem::exists(log.parent_path() / (log.stem().string() + ".exe")))
        << log;
}

TEST(WriteLog, CreatesTheFileThenAppendsOneStampedLinePerMessage) {
    TempLog log;
    WriteLog("userv: starting", log.path.string());
    WriteLog("app: starting [/bin/x:] Ok", "  " + log.path.string() + " ");
    ASSERT_TRUE(FlushLog(std::chrono::seconds(10)));
    const auto lines = LogLines(log.path);
    ASSERT_EQ(lines.size(), 2u);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, kStampedLine)) << lines[0];
    EXPECT_EQ(match[1], "userv: starting");
    ASSERT_TRUE(std::regex_match(lines[1], match, kStampedLine)) << lines[1];
    EXPECT_EQ(match[1], "app: starting [/bin/x:] Ok");
}

TEST(WriteLog, NeverTruncatesAnExistingFile) {
    TempLog log;
    std::ofstream(log.path, std::ios::binary) << "earlier line\r\n";
    WriteLog("userv: started", log.path.string());
    ASSERT_TRUE(FlushLog(std::chrono::seconds(10)));
    const std::string text = testfiles::ReadAll(log.path);
    EXPECT_EQ(text.rfind("earlier line\r\n[", 0), 0u) << text;
}

TEST(WriteLog, BlankPathMeansTheFileBesideTheExecutable) {
    const std::filesystem::path log = DefaultLogPath();
    const bool existed = std::filesystem::exists(log);
    const auto size_before = existed ? std::filesystem::file_size(log) : 0;
    WriteLog("app: default path check", " \t ");
    ASSERT_TRUE(FlushLog(std::chrono::seconds(10)));
    ASSERT_TRUE(std::filesystem::exists(log));
    const std::string text = testfiles::ReadAll(log);
    EXPECT_EQ(text.find("] app: default path check\r\n", size_before), size_before + 20);
    if (!existed) {
        std::filesystem::remove(log);
    }
}

TEST(WriteLog, TwoThreadsLoseAndInterleaveNoLine) {
    TempLog log;
    constexpr int kLinesPerThread = 400;
    auto writer = [&](char tag) {
        for (int i = 0; i < kLinesPerThread; ++i) {
            WriteLog(std::string("thread ") + tag + " line " + std::to_string(i),
                     log.path.string());
        }
    };
    std::thread first(writer, 'a');
    std::thread second(writer, 'b');
    first.join();
    second.join();
    ASSERT_TRUE(FlushLog(std::chrono::seconds(10)));

    const auto lines = LogLines(log.path);
    ASSERT_EQ(lines.size(), 2u * kLinesPerThread);
    int next[2] = {0, 0};
    const std::regex message(R"(thread ([ab]) line (\d+))");
    for (const auto& line : lines) {
        std::smatch stamped;
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(line, stamped, kStampedLine)) << line;
        const std::string text = stamped[1];
        ASSERT_TRUE(std::regex_match(text, parts, message)) << line;
        const int writer_index = parts[1] == "a" ? 0 : 1;
        EXPECT_EQ(std::stoi(parts[2]), next[writer_index]++); // each thread's lines in order
    }
}
