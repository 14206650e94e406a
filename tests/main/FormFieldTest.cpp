// The discovery page in the field: the device table (one entry per
// controller, sorting, filtering, export, copy), the interface choice, the
// traffic log's options and file copy, and what is remembered between runs.
#include "MainFormFixture.h"
#include "tests/FileText.h"

#include "ui/main/FormSettings.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace velkor {

namespace {

// A folder of its own for the files a test writes, removed afterwards.
struct TempFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("velkor-form-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder() { std::filesystem::remove_all(path); }
};

std::vector<std::string> Rows(const DeviceListBox& list) {
    std::vector<std::string> rows;
    for (int row = 0; row < list.RowCount(); ++row) {
        rows.push_back(list.Row(row).Caps.IPText);
    }
    return rows;
}

} // namespace

TEST_F(MainFormTest, DeviceTableListsEachControllerOnceSortsFiltersExportsAndCopies) {
    form.btnScanClick();
    DiscoveryAnswer a = Device("192.168.0.5", "90A2DA0F364F");
    a.Items.Text12 = W("Шкаф, \"A\"");
    a.Items.Seconds = 90061;
    DiscoveryAnswer b = Device("10.0.0.7", "001122AABBCC");
    b.Items.Text12 = "gate";
    DiscoveryAnswer c = Device("192.168.0.40", "0011223344AA");
    c.Items.Text12 = "Lobby";
    c.Items.Seconds = 59;
    for (const DiscoveryAnswer& answer : {a, b, c}) {
        reader->onDevice(answer);
    }
    // The same controller heard again (the limited and a directed broadcast).
    DiscoveryAnswer again = a;
    again.FromIP = "192.168.0.255";
    reader->onDevice(again);
    EXPECT_EQ(form.btnScan.Caption(), "Scan (3)");
    EXPECT_EQ(std::count_if(form.memLog.Lines().begin(), form.memLog.Lines().end(),
                            [](const std::string& line) { return line.find("discovered") == 0; }),
              3);

    DeviceListBox& list = form.lbDeviceList;
    const auto ip = 1, name = 6, uptime = 9;
    EXPECT_EQ(list.ColumnCaptions()[ip], "IP");
    EXPECT_EQ(DeviceListBox::CellText(list.Row(0), uptime), "1d 01:01:01");
    EXPECT_EQ(list.Row(0).Text.substr(0, 17), "90-A2-DA-0F-36-4F");
    // Default order: the last octet weighs most.
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"192.168.0.5", "10.0.0.7", "192.168.0.40"}));
    list.SetItemIndex(2); // 192.168.0.40 stays selected through every re-sort

    form.lbDeviceListHeaderClick(ip);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"10.0.0.7", "192.168.0.5", "192.168.0.40"}));
    EXPECT_EQ(list.Selected()->Caps.IPText, "192.168.0.40");
    form.lbDeviceListHeaderClick(ip);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"192.168.0.40", "192.168.0.5", "10.0.0.7"}));
    EXPECT_TRUE(list.SortDescending());
    form.lbDeviceListHeaderClick(ip); // third click: the default order again
    EXPECT_EQ(list.SortColumn(), -1);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"192.168.0.5", "10.0.0.7", "192.168.0.40"}));
    form.lbDeviceListHeaderClick(uptime); // absent first, then by seconds
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"10.0.0.7", "192.168.0.40", "192.168.0.5"}));
    form.lbDeviceListHeaderClick(name); // letters without case
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"10.0.0.7", "192.168.0.40", "192.168.0.5"}));
    // A late answer goes where the chosen order puts it.
    DiscoveryAnswer late = Device("10.0.0.1", "0000000000FF");
    late.Items.Text12 = "hall";
    reader->onDevice(late);
    EXPECT_EQ(Rows(list),
              (std::vector<std::string>{"10.0.0.7", "10.0.0.1", "192.168.0.40", "192.168.0.5"}));

    form.edFilter.SetText("LOB");
    form.edFilterChange();
    EXPECT_EQ(Rows(list), std::vector<std::string>{"192.168.0.40"});
    EXPECT_EQ(list.ItemIndex(), 0);
    form.edFilter.SetText("00-11-22");
    form.edFilterChange();
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"10.0.0.7", "192.168.0.40"}));
    EXPECT_EQ(form.btnScan.Caption(), "Scan (4)"); // the count is of every entry

    TempFolder folder;
    services.savePath = (folder.path / "shown.csv").string();
    form.ExportDevices(true, false);
    const std::string shown = testfiles::ReadAll(folder.path / "shown.csv");
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 3) << shown; // header + 2 rows
    EXPECT_NE(shown.find("\r\n00-11-22-AA-BB-CC,10.0.0.7,8080,"), std::string::npos) << shown;
    EXPECT_EQ(LastLog(), "2 devices exported to " + *services.savePath);

    services.savePath = (folder.path / "all.csv").string();
    form.ExportDevices(false, false);
    EXPECT_NE(testfiles::ReadAll(folder.path / "all.csv").find("\"Шкаф, \"\"A\"\"\""),
              std::string::npos);
    services.savePath = (folder.path / "all.json").string();
    form.ExportDevices(false, true);
    const std::string json = testfiles::ReadAll(folder.path / "all.json");
    const auto parsed = nlohmann::json::parse(json);
    ASSERT_EQ(parsed.size(), 4u);
    EXPECT_EQ(parsed.at(3).at("name"), "Шкаф, \"A\""); // by name, as shown
    EXPECT_EQ(parsed.at(3).at("uptime"), 90061);
    form.ExportDevices(false, true); // the same table gives the same file
    EXPECT_EQ(testfiles::ReadAll(folder.path / "all.json"), json);
    services.savePath = (folder.path / "missing" / "x.csv").string();
    form.ExportDevices(false, false);
    EXPECT_EQ(LastLog().rfind("devices not exported to ", 0), 0u) << LastLog();
    services.savePath.reset(); // cancelled: nothing written, nothing logged
    const std::string before = LastLog();
    form.btnExportClick();
    ASSERT_EQ(services.popups.back(), "pmExport below btnExport");
    form.pmExport.Items().at(0).Click();
    EXPECT_EQ(LastLog(), before);

    form.CopyDeviceRows({1});
    EXPECT_EQ(services.clipboard.substr(0, services.clipboard.find('\n')),
              "MAC\tIP\tTCP port\tMask\tGateway\tServer\tName\tType\tText 13\tUptime\tSigned "
              "time\tTag 7\tTag 8\tTag 9\tFrom");
    EXPECT_NE(services.clipboard.find("\n00-11-22-33-44-AA\t192.168.0.40\t8080\t\t\t\tLobby\t\t\t"
                                      "00:00:59\t\t0\t0\t0\t192.168.0.40:3052\n"),
              std::string::npos)
        << services.clipboard;
}

TEST_F(MainFormTest, InterfaceChoiceDecidesWhereScansAndCommandsToEveryoneGo) {
    // Every interface that is up, after the limited broadcast.
    std::vector<std::string> listed;
    for (const ComboItem& item : form.cbInterface.Items()) {
        listed.push_back(item.text);
    }
    EXPECT_EQ(listed,
              (std::vector<std::string>{"All interfaces", "lo 127.0.0.1/8", "eth0 192.168.1.10/24",
                                        "wlan0 10.20.30.40/20"}));
    EXPECT_EQ(reader->broadcastAddresses,
              (std::vector<std::string>{"255.255.255.255", "127.255.255.255", "192.168.1.255",
                                        "10.20.31.255"}));
    // Commands to everyone: eth0's controllers hear the limited broadcast.
    EXPECT_EQ(reader->commandAddresses,
              (std::vector<std::string>{"255.255.255.255", "127.255.255.255", "10.20.31.255"}));

    form.cbInterface.SetItemIndex(3);
    form.cbInterfaceChange();
    EXPECT_EQ(reader->broadcastAddresses, std::vector<std::string>{"10.20.31.255"});
    EXPECT_EQ(reader->commandAddresses, std::vector<std::string>{"10.20.31.255"});
    EXPECT_EQ(settings.values[kSettingInterface], "wlan0");
    form.btnScanClick();
    EXPECT_EQ(TakeSent(), std::vector<std::string>{"7:0:1:"});

    // The chosen network goes away: the scan says so and sends nothing.
    interfaces.pop_back();
    form.btnScanClick();
    EXPECT_EQ(form.cbInterface.Text(), "wlan0 (not up)");
    EXPECT_TRUE(reader->broadcastAddresses.empty());
    EXPECT_TRUE(TakeSent().empty());
    EXPECT_NE(LastLog().find("no interface \"wlan0\""), std::string::npos) << LastLog();
    interfaces = FakeInterfaces();
    form.btnScanClick();
    EXPECT_EQ(form.cbInterface.Text(), "wlan0 10.20.30.40/20");
    EXPECT_EQ(TakeSent(), std::vector<std::string>{"7:0:1:"});

    // The next run starts with the remembered choice; --interface (a name or
    // an address) wins for its run; --broadcast means that address alone.
    const auto run = [&](VelkorOptions options) {
        auto record = std::make_shared<ReaderRecord>();
        auto next = std::make_unique<TRFIDMainForm>(
            [record] { return std::make_unique<FakeReader>(record); }, main, services, editors);
        next->SetStartOptions(std::move(options));
        next->SetSettingsStore(&settings);
        next->SetInterfaceSource([this](tNetworkInterfaceList& list) {
            list = interfaces;
            return true;
        });
        next->FormCreate();
        return std::make_pair(std::move(next), record);
    };
    EXPECT_EQ(run({}).second->broadcastAddresses, std::vector<std::string>{"10.20.31.255"});
    VelkorOptions byAddress;
    byAddress.Interface = "192.168.1.10";
    EXPECT_EQ(run(byAddress).second->broadcastAddresses, std::vector<std::string>{"192.168.1.255"});
    VelkorOptions fixed;
    fixed.BroadcastAddress = "127.255.255.255";
    const auto [window, record] = run(fixed);
    EXPECT_EQ(record->broadcastAddresses, std::vector<std::string>{"127.255.255.255"});
    EXPECT_FALSE(window->cbInterface.Enabled());
    EXPECT_EQ(window->cbInterface.Text(), "127.255.255.255 (--broadcast)");
    EXPECT_EQ(settings.values[kSettingInterface], "wlan0"); // options are not remembered
}

TEST_F(MainFormTest, LogOptionsFileCopyWithCapAndRememberedSettings) {
    const std::regex stamped(R"(\d\d:\d\d:\d\d\.\d\d\d (.*))");
    ReaderSend send;
    send.packet.cmd = 23;
    send.packet.data = Bytes("0102");
    send.to = "10.0.0.9:8080";
    send.tcp = true;

    // Off (the default): the lines as ever, and no sent-packet lines.
    reader->onSent(send);
    form.AddLog("plain");
    EXPECT_EQ(LastLog(), "plain");
    form.cbLogTimestamps.SetChecked(true);
    form.cbLogSent.SetChecked(true);
    form.cbLogOptionsChange();
    reader->onSent(send);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(LastLog(), parts, stamped)) << LastLog();
    EXPECT_EQ(parts[1], "sent tcp 10.0.0.9:8080 cmd/flags/code[0x17:0x00:0x00] data[0102]");
    reader->onDropped(1234);
    ASSERT_TRUE(std::regex_match(LastLog(), parts, stamped)) << LastLog();
    EXPECT_EQ(parts[1], "1234 packets dropped: they came faster than the window could show them");
    reader->onCaughtUp(5678);
    ASSERT_TRUE(std::regex_match(LastLog(), parts, stamped)) << LastLog();
    EXPECT_EQ(parts[1], "caught up: 5678 packets dropped in all");

    TempFolder folder;
    services.savePath = (folder.path / "log.txt").string();
    form.btnSaveLogClick();
    const std::string saved = testfiles::ReadAll(folder.path / "log.txt");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 4) << saved;
    EXPECT_EQ(saved.rfind("plain\n", 0), 0u);

    // The file copy: timestamps and sent packets unless the options say no,
    // and never past its cap.
    const auto capture = [&](VelkorOptions options, const std::string& name) {
        options.LogFile = (folder.path / name).string();
        options.LogFileMaxBytes = 4096;
        TRFIDMainForm copying(
            [] { return std::make_unique<FakeReader>(std::make_shared<ReaderRecord>()); }, main,
            services, editors);
        copying.SetStartOptions(options);
        std::string error;
        EXPECT_TRUE(copying.OpenLogFile(&error)) << error;
        copying.FormCreate();
        copying.ReaderSent(send);
        for (int n = 0; n < 100; ++n) {
            copying.AddLog("line " + std::to_string(n) + std::string(40, '.'));
        }
        EXPECT_EQ(copying.memLog.Lines().back(), "line 99" + std::string(40, '.'));
    };
    capture({}, "full.log");
    const std::string older = testfiles::ReadAll(folder.path / "full.log.1");
    const std::string newer = testfiles::ReadAll(folder.path / "full.log");
    EXPECT_LE(older.size(), 4096u);
    EXPECT_LE(newer.size(), 4096u);
    EXPECT_GT(older.size(), 4000u);
    ASSERT_TRUE(std::regex_search(older, std::regex(R"(^\d\d:\d\d:\d\d\.\d\d\d sent tcp )")));
    EXPECT_NE(newer.find(" line 99"), std::string::npos);
    VelkorOptions plain;
    plain.LogTimestamps = false;
    plain.LogSent = false;
    capture(plain, "plain.log");
    EXPECT_EQ(testfiles::ReadAll(folder.path / "plain.log.1").rfind("line 0.", 0), 0u);
    std::string error;
    TrafficLogFile nowhere;
    EXPECT_FALSE(nowhere.Open((folder.path / "no" / "x.log").string(), 4096, &error));
    EXPECT_NE(error.find("x.log"), std::string::npos);

    // Remembered for the next run: the UDP flag, the log options, the last
    // direct-connect target and the window's place.
    form.cbUDPFlag.SetItemIndex(1);
    form.cbUDPFlagChange();
    editors.stringAnswer = "10.0.0.9:8081:Hall";
    form.ConnectPrompt();
    form.RememberGeometry({10, 20, 800, 600, true});
    TRFIDMainForm next(
        [] { return std::make_unique<FakeReader>(std::make_shared<ReaderRecord>()); }, main,
        services, editors);
    next.SetSettingsStore(&settings);
    next.FormCreate();
    EXPECT_EQ(next.cbUDPFlag.Text(), "SubNet");
    EXPECT_TRUE(next.cbLogTimestamps.Checked());
    EXPECT_TRUE(next.cbLogSent.Checked());
    next.ConnectPrompt();
    EXPECT_EQ(editors.calls.back(), "InputString|Input a string|10.0.0.9:8081:Hall");
    ASSERT_TRUE(next.RememberedGeometry());
    EXPECT_EQ(GeometryText(*next.RememberedGeometry()), "10,20,800,600,1");
    settings.values[kSettingGeometry] = "10,20,0,600,1";
    EXPECT_FALSE(next.RememberedGeometry());

    // A store that cannot be written is said once, not at every change, and
    // again when it fails anew after having worked.
    const auto notSaved = [&] {
        return std::count_if(
            next.memLog.Lines().begin(), next.memLog.Lines().end(), [](const std::string& line) {
                return line.ends_with("settings not saved: cannot write the settings file");
            });
    };
    settings.writable = false;
    next.cbLogOptionsChange();
    next.RememberGeometry({1, 2, 3, 4, false});
    EXPECT_EQ(notSaved(), 1);
    settings.writable = true;
    next.cbLogOptionsChange();
    settings.writable = false;
    next.cbLogOptionsChange();
    EXPECT_EQ(notSaved(), 2);
}

} // namespace velkor
