#include "supervisor/UProcess.h"
#include "supervisor/USvc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace torvane;

using ::testing::ElementsAre;

TEST(IniLine, ProgramWithArgumentsAndOutputTarget) {
    const auto item = ParseIniLine(R"(C:\tools\agent.exe -p 5 > C:\logs\agent.txt)");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->executable, R"(C:\tools\agent.exe)");
    EXPECT_EQ(item->command_line, R"(C:\tools\agent.exe -p 5)");
    EXPECT_EQ(item->stderr_target, R"(C:\logs\agent.txt)");
    EXPECT_EQ(item->stdout_target, "nul:");
    EXPECT_EQ(item->state, ProcState::ToStart);
}

TEST(IniLine, ProgramAloneHasNoCommandLineAndDiscardsBothStreams) {
    const auto item = ParseIniLine(R"(C:\tools\agent.exe)");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->executable, R"(C:\tools\agent.exe)");
    EXPECT_EQ(item->command_line, "");
    EXPECT_EQ(item->stdout_target, "nul:");
    EXPECT_EQ(item->stderr_target, "nul:");
}

TEST(IniLine, BlanksAroundTheLineTheCommandAndTheTargetAreDropped) {
    const auto item = ParseIniLine(" \t C:\\a.exe  -x   >   out.txt  \r");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->executable, R"(C:\a.exe)");
    EXPECT_EQ(item->command_line, R"(C:\a.exe  -x)");
    EXPECT_EQ(item->stderr_target, "out.txt");

    const auto no_blanks = ParseIniLine("/opt/a -x>/var/log/a.txt");
    ASSERT_TRUE(no_blanks);
    EXPECT_EQ(no_blanks->command_line, "/opt/a -x");
    EXPECT_EQ(no_blanks->stderr_target, "/var/log/a.txt");

    // Only the first ">" separates; the rest belongs to the target.
    EXPECT_EQ(ParseIniLine("/opt/a > x>y")->stderr_target, "x>y");
    // A ">" with nothing after it leaves standard error discarded.
    EXPECT_EQ(ParseIniLine("/opt/a >  ")->stderr_target, "nul:");
}

TEST(IniLine, LinesWithoutAnExecutableGiveNothing) {
    EXPECT_FALSE(ParseIniLine(""));
    EXPECT_FALSE(ParseIniLine("   \t \r"));
    EXPECT_FALSE(ParseIniLine(">"));
    EXPECT_FALSE(ParseIniLine("  > out.txt"));
}

TEST(CommandLine, SplitsOnBlanksAndKeepsQuotedBlanks) {
    EXPECT_THAT(SplitCommandLine("/bin/prog -p 5"), ElementsAre("/bin/prog", "-p", "5"));
    EXPECT_THAT(SplitCommandLine("  a \t b  "), ElementsAre("a", "b"));
    EXPECT_THAT(SplitCommandLine(R"(a "two words" x"y z"w "")"),
                ElementsAre("a", "two words", "xy zw", ""));
    EXPECT_TRUE(SplitCommandLine("").empty());
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(IniLine, AQuotedPathMayHoldBlanksAndBrokenLinesGiveNothing) {
    const auto quoted =
        ParseIniLine(R"(  "C:\Program Files\App\app.exe" -x "a b" > C:\logs\app.txt)");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->executable, R"(C:\Program Files\App\app.exe)");
    EXPECT_EQ(quoted->command_line, R"("C:\Program Files\App\app.exe" -x "a b")");
    EXPECT_EQ(quoted->stderr_target, R"(C:\logs\app.txt)");
    const auto alone = ParseIniLine(R"("/opt/my app/run">/var/log/run.txt)");
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->executable, "/opt/my app/run");
    EXPECT_EQ(alone->command_line, R"("/opt/my app/run")");
    EXPECT_EQ(alone->stderr_target, "/var/log/run.txt");
    // Without quotes the first blank still ends the program, as it always has.
    EXPECT_EQ(ParseIniLine(R"(C:\Program Files\App\app.exe -x)")->executable, R"(C:\Program)");

    EXPECT_FALSE(ParseIniLine(R"("C:\Program Files\App\app.exe -x)")); // unclosed
    EXPECT_FALSE(ParseIniLine(R"("" -x)"));
    EXPECT_FALSE(ParseIniLine(R"("C:\a b\app.exe"-x)"));
    EXPECT_FALSE(ParseIniLine(std::string("/opt/a -x\0y", 11)));
    EXPECT_FALSE(ParseIniLine(std::string("/opt/a\0", 7)));
}
