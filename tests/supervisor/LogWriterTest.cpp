// The log's writer thread against real files that cannot be written for a while.
#include "supervisor/LogWriter.h"
#include "tests/FileText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <sstream>

using namespace torvane;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Line(int number) {
    return "line " + std::to_string(number) + "\r\n";
}

struct WriterFixture : ::testing::Test {
    ~WriterFixture() override { fs::remove_all(dir); }

    std::vector<std::string> Reports() {
        const std::lock_guard lock(mutex);
        return reports;
    }

    // The writer's thread reports after its attempts, and after it has counted lines as
    // written: waits (at most ten seconds, however loaded the machine) until the reports so far
    // are enough.
    using Enough = std::function<bool(const std::vector<std::string>&)>;
    std::vector<std::string> WaitForReports(const Enough& enough) {
        std::unique_lock lock(mutex);
        reported.wait_for(lock, 10s, [&] { return enough(reports); });
        return reports;
    }
    static Enough EndingWith(std::string text) {
        return [text = std::move(text)](const std::vector<std::string>& so_far) {
            return !so_far.empty() && so_far.back() == text;
        };
    }

    fs::path dir = fs::temp_directory_path() /
                   ("torvane_writer_test_" + std::to_string(std::random_device{}()));
    std::mutex mutex;
    std::condition_variable reported;
    std::vector<std::string> reports;
    LogWriter writer{[this](std::string_view text) {
        {
            const std::lock_guard lock(mutex);
            reports.emplace_back(text);
        }
        reported.notify_all();
    }};
};

} // namespace

TEST_F(WriterFixture, AnUnwritableLogIsReportedOnceItsLinesKeptAndWrittenInOrderLater) {
    const fs::path log = dir / "Torvane.log"; // its directory does not exist yet
    for (int number = 0; number < 300; ++number) {
        writer.Append(log.string(), Line(number));
    }
    const auto first = WaitForReports([](const auto& so_far) { return !so_far.empty(); });
    ASSERT_EQ(first.size(), 1u);
    EXPECT_THAT(first[0], HasSubstr("cannot write the log file " + log.string() + ": "));
    for (int number = 300; number < 400; ++number) {
        writer.Append(log.string(), Line(number));
    }
    // More lines and retries while the file stays unwritable, and still the one report (on a
    // loaded machine fewer retries fit in this span, but none of them may report again).
    EXPECT_FALSE(writer.Flush(LogWriter::kRetryPeriod * 3));
    EXPECT_EQ(Reports().size(), 1u);

    fs::create_directories(dir);
    ASSERT_TRUE(writer.Flush(10s));
    std::string expected;
    for (int number = 0; number < 400; ++number) {
        expected += Line(number);
    }
    EXPECT_EQ(testfiles::ReadAll(log), expected);
    EXPECT_THAT(WaitForReports(EndingWith("the log file is written again")),
                ElementsAre(first[0], "the log file is written again"));
}

TEST_F(WriterFixture, BeyondTheCapTheOldestLinesAreDroppedAndCounted) {
    const fs::path log = dir / "Torvane.log";
    // Lines of 1,024 bytes: "00000xxx...x\n".
    const auto numbered = [](int number) {
        std::string line = std::to_string(100000 + number).substr(1);
        return line + std::string(1018, 'x') + "\n";
    };
    const int fitting = static_cast<int>(LogWriter::kMaxPendingBytes / 1024);
    for (int number = 0; number < fitting + 11; ++number) {
        writer.Append(log.string(), numbered(number));
    }
    fs::create_directories(dir);
    ASSERT_TRUE(writer.Flush(10s));
    const std::string text = testfiles::ReadAll(log);
    EXPECT_EQ(text.size(), LogWriter::kMaxPendingBytes);
    EXPECT_EQ(text.substr(0, 1024), numbered(11));
    EXPECT_EQ(text.substr(text.size() - 1024), numbered(fitting + 10));
    const std::string dropped = "11 log lines were dropped while the log file could not be written";
    EXPECT_EQ(WaitForReports(EndingWith(dropped)).back(), dropped);
}

TEST_F(WriterFixture, RotationKeepsEachFileUnderTheSizeAndTheNewestLinesInOrder) {
    fs::create_directories(dir);
    const fs::path log = dir / "x.log";
    writer.SetRotation(100, 2);
    for (int number = 0; number < 40; ++number) {
        writer.Append(log.string(), Line(number)); // 8 or 9 bytes each
    }
    ASSERT_TRUE(writer.Flush(10s));
    EXPECT_FALSE(fs::exists(dir / "x.log.3"));
    const std::string newest = testfiles::ReadAll(dir / "x.log.2") +
                               testfiles::ReadAll(dir / "x.log.1") + testfiles::ReadAll(log);
    for (const char* name : {"x.log", "x.log.1", "x.log.2"}) {
        EXPECT_LE(fs::file_size(dir / name), 100u) << name;
    }
    std::string expected;
    for (int number = 39; expected.size() < newest.size(); --number) {
        expected = Line(number) + expected;
    }
    EXPECT_EQ(newest, expected);
    EXPECT_NE(newest.find(Line(39)), std::string::npos);

    // Renamed away from outside, the file is created anew with the next line.
    writer.SetRotation(0, 0);
    fs::rename(log, dir / "outside");
    writer.Append(log.string(), Line(40));
    ASSERT_TRUE(writer.Flush(10s));
    EXPECT_EQ(testfiles::ReadAll(log), Line(40));
    EXPECT_THAT(Reports(), ElementsAre());
}
