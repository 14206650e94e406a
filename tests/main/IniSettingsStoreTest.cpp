// Remembered settings in an ini file: what one run writes the next run reads
// back byte for byte, a file edited by hand is read as far as it makes sense,
// and a file that cannot be written does not lose the value for this run.
#include "ui/main/IniSettingsStore.h"
#include "ui/main/FormSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velkor {

namespace {

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(IniSettingsStore, ValuesSurviveTheRunHandEditsAreReadAndWriteFailuresKeepTheValue) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("velkor-ini-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(folder);
    const std::filesystem::path path = folder / "Velkor" / "velkor.ini"; // no folder yet

    // Windows-1251 bytes, '=' and '\' in a value, and a line break.
    const std::string target = "10.0.0.9:8080:\xD8\xEA\xE0\xF4 a=b\\c\nnext";
    {
        IniSettingsStore store(path.string());
        EXPECT_FALSE(store.Read(kSettingUdpFlag));
        store.Write(kSettingUdpFlag, "SubNet");
        store.Write(kSettingDirectTarget, target);
        store.Write(kSettingGeometry, "10,20,800,600,1");
        store.Write("plain", "x");
    }
    EXPECT_EQ(FileText(path),
              "[General]\nplain=x\n\n"
              "[connect]\nlastTarget=10.0.0.9:8080:\xD8\xEA\xE0\xF4 a=b\\\\c\\nnext\n\n"
              "[discovery]\nudpFlag=SubNet\n\n"
              "[window]\ngeometry=10,20,800,600,1\n\n");
    IniSettingsStore next(path.string());
    EXPECT_EQ(next.Read(kSettingUdpFlag), "SubNet");
    EXPECT_EQ(next.Read(kSettingDirectTarget), target);
    EXPECT_EQ(next.Read("plain"), "x");
    EXPECT_FALSE(next.Read("discovery/interface"));

    // Edited by hand, saved with CR LF: blanks around names and sections,
    // comments and stray lines are taken as a reader would.
    std::ofstream(path, std::ios::binary)
        << "; comment\r\nstray line\r\n [log] \r\n timestamps = 1\r\n#sentPackets=1\r\n"
           "=nameless\r\nsentPackets=\r\n";
    IniSettingsStore edited(path.string());
    EXPECT_EQ(edited.Read(kSettingLogTimestamps), " 1");
    EXPECT_EQ(edited.Read(kSettingLogSent), "");
    EXPECT_FALSE(edited.Read("General/"));

    // A folder where the file should be: nothing written, the value kept.
    std::filesystem::remove(path);
    std::filesystem::create_directories(path);
    IniSettingsStore blocked(path.string());
    blocked.Write(kSettingInterface, "eth1");
    EXPECT_EQ(blocked.Read(kSettingInterface), "eth1");
    EXPECT_TRUE(std::filesystem::is_directory(path));
    std::filesystem::remove_all(folder);
}

} // namespace velkor
