// Settings workflows, byte menus, full defaults, lock kits and the
// direct-connect menu.
#include "MainFormFixture.h"

#include "ui/main/DirectConnect.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace velkor {

TEST_F(MainFormTest, ByteMenusListTheirTablesAndWriteTheChoice) {
    Connect();
    form.BindByteMenuButton(form.btnLang, 17, "Lang");
    reader->sent.clear();
    form.ByteMenuPopup(form.btnLang);
    EXPECT_EQ(services.popups.back(), "pmByteMenu below btnLang");
    ASSERT_EQ(form.pmByteMenu.Items().size(), 3u);
    const TMenuItem& russian = form.pmByteMenu.Items()[1];
    EXPECT_EQ(russian.Caption, "Russian");
    EXPECT_EQ(russian.Hint, "0x01: RUS");
    EXPECT_EQ(russian.Tag, 4353);
    russian.Click();
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"9:0:0:1101", "19:0:0:", "8:0:0:11"}));

    form.BindByteMenuButton(form.btnNoNet, 26, "NoNet");
    form.ByteMenuPopup(form.btnNoNet);
    ASSERT_EQ(form.pmByteMenu.Items().size(), 2u);
    EXPECT_EQ(form.pmByteMenu.Items()[0].Caption, "Info Terminal");
    EXPECT_EQ(form.pmByteMenu.Items()[1].Caption, "Turnstile");
    EXPECT_EQ(form.pmByteMenu.Items()[1].Hint, "0x00: TURN");
    EXPECT_EQ(form.pmByteMenu.Items()[1].Tag, 26 * 256);

    form.btnLMode.SetTag(5); // not a byte-menu item: nothing shows
    const size_t popups = services.popups.size();
    form.ByteMenuPopup(form.btnLMode);
    EXPECT_EQ(services.popups.size(), popups);
}

TEST_F(MainFormTest, WriteButtonsAndReadButtons) {
    Connect();
    form.btnGlobalSoundVolClick();
    EXPECT_EQ(LastLog(), "sound cfg: data[187F]");
    form.cbLEDBrightness.SetItemIndex(2);
    form.trbVolume.SetPosition(16);
    form.btnSetLEDBrightnessClick();
    form.FingerButtonClick(form.btnSetNotUseFinger);
    form.FingerButtonClick(form.btnFingerShot);
    EXPECT_EQ(TakeSent(),
              (std::vector<std::string>{"9:0:0:187F", "19:0:0:", "9:0:0:1902", "19:0:0:",
                                        "23:0:0:0201FF010600A00F6400100002320000"
                                        "02E803"
                                        "020100"
                                        "04020000",
                                        "9:0:0:1601", "19:0:0:", "9:0:0:1C01", "19:0:0:"}));

    for (const TControl* b :
         {&form.btnNetCfgEdit, &form.btnEditKeys, &form.btnDBWaitTMO, &form.btnRelayOpenTime,
          &form.btnEditOptoFlagsClose, &form.btnEditOptoFlagsOpen, &form.btnEditOptoFlagsRHold,
          &form.btnEditAuthFlags, &form.btnDebugFlags, &form.Button5}) {
        form.ReadButtonClick(*b);
    }
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"8:0:0:08", "8:0:0:20", "8:0:0:13", "8:0:0:1F",
                                                    "8:0:0:1D", "8:0:0:1E", "8:0:0:25", "8:0:0:23",
                                                    "8:0:0:24", "8:0:0:30"}));
}

TEST_F(MainFormTest, FullDefaultsWritesTheWholeConfiguration) {
    Connect();
    form.cbLEDBrightness.SetItemIndex(4);
    form.FullDefaults();
    const std::string nineSevenZeros(97 * 2, '0');
    EXPECT_EQ(TakeSent(),
              (std::vector<std::string>{"9:0:0:23CFF0", "9:0:0:187F", "9:0:0:1904", "9:0:0:1A00",
                                        "9:0:0:1B00", "9:0:0:21" + nineSevenZeros, "9:0:0:1101",
                                        "9:0:0:20" + std::string(96 * 2, 'F') + "0000", "36:0:0:",
                                        "19:0:0:", "34:0:0:", "8:0:0:11", "8:0:0:1A", "8:0:0:1B"}));
    const auto& log = form.memLog.Lines();
    const size_t n = log.size();
    EXPECT_EQ(log[n - 7], "sound cfg: data[187F]");
    EXPECT_EQ(log[n - 6], "LED brightness cfg: data[1904]");
    EXPECT_EQ(log[n - 5], "set turn cfg: data[1A00]");
    EXPECT_EQ(log[n - 4], "set TARN cfg: data[1B00]");
    EXPECT_EQ(log[n - 3], "set NO LOCKS cfg: data[21" + nineSevenZeros + "]");
    const std::string twoLocks = "02"
                                 "3E"
                                 "D8EAE0F4" +
                                 std::string(22, '0') +
                                 "21"
                                 "D1E5E9F4" +
                                 std::string(22, '0') + std::string(64 * 2, '0');
    EXPECT_EQ(log[n - 2], "set 2 LOCKS cfg: data[21" + twoLocks + "]");
    EXPECT_EQ(log[n - 1], "set LANG RUS cfg: data[1101]");

    form.cbPreRes.SetChecked(true);
    form.cbTermDefs.SetChecked(true);
    form.cbLLMC.SetItemIndex(0);
    form.btnLang.SetCaption("Lang: RUS");
    form.FullDefaults();
    const auto sent = TakeSent();
    ASSERT_EQ(sent.size(), 17u);
    EXPECT_EQ(
        std::vector<std::string>(sent.begin(), sent.begin() + 5),
        (std::vector<std::string>{"37:0:0:", "20:0:0:", "35:0:0:", "9:0:0:23CF03", "9:0:0:187F"}));
    EXPECT_EQ(sent[6], "9:0:0:1A01");
    EXPECT_EQ(sent[8], "9:0:0:21" + std::string(81 * 2, '0'));
    EXPECT_EQ(form.btnLang.Caption(), "Lang");
}

TEST_F(MainFormTest, LockKitsMenuAndWrites) {
    Connect();
    EXPECT_EQ(form.LockerCountLimit(), 6);
    form.WriteLockKit(12); // "62 only"
    EXPECT_EQ(TakeSent(),
              (std::vector<std::string>{"9:0:0:21013E"
                                        "D8EAE0F4" +
                                            std::string(11 * 2, '0') + std::string(80 * 2, '0'),
                                        "36:0:0:"}));
    form.cbLLMC.SetItemIndex(0);
    form.WriteLockKit(17); // "No Locks"
    EXPECT_EQ(TakeSent()[0], "9:0:0:21" + std::string(81 * 2, '0'));
    form.WriteLockKit(9); // "6 locks" is written whole also with limit 5
    EXPECT_EQ(TakeSent()[0].size(), 6u + 98 * 2);
    form.cbLLMC.SetText("x");
    EXPECT_EQ(form.LockerCountLimit(), 5);
    form.cbLLMC.SetText(" 6 ");
    EXPECT_EQ(form.LockerCountLimit(), 6);

    form.btnLocksClick(); // without Ctrl: read the list
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"8:0:0:21"}));
    services.ctrl = true;
    form.btnLocksClick();
    EXPECT_EQ(services.popups.back(), "pmLocks below btnLocks");
    ASSERT_EQ(form.pmLocks.Items().size(), 18u);
    EXPECT_EQ(form.pmLocks.Items()[0].Caption, W("62+33 (Яч)"));
    EXPECT_EQ(form.pmLocks.Items()[0].Hint, W("[62:Шкаф] [33:Ячейка] "));
    form.btnLocksContextPopup(); // Ctrl held: detailed captions
    EXPECT_EQ(form.pmLocks.Items()[0].Caption, W("[62:Шкаф] [33:Ячейка] "));
    EXPECT_EQ(form.pmLocks.Items()[17].Caption, "");
    EXPECT_EQ(form.pmLocks.Items()[12].Tag, 12);
    form.pmLocks.Items()[12].Click();
    EXPECT_EQ(TakeSent().size(), 2u);

    // "Check Locks": a read, or with Ctrl an empty list of the limit's rows.
    services.ctrl = false;
    form.btnNetRepeatTestClick();
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"8:0:0:21"}));
    services.ctrl = true;
    editors.scripts["EditLockersList"] = [](const std::string&, const std::string&) {
        return Bytes("00") + std::string(96, '\0');
    };
    form.btnNetRepeatTestClick();
    ProcessAll();
    EXPECT_EQ(editors.calls.back(), "EditLockersList|Lockers list data|06");
    EXPECT_EQ(TakeSent()[0], "9:0:0:2100" + std::string(96 * 2, '0'));
}

TEST_F(MainFormTest, DirectConnectMenuFromFile) {
    const auto dir = std::filesystem::temp_directory_path() / "velkor_main_dc_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "dc.txt").string();
    {
        std::ofstream file(path, std::ios::binary);
        file << "192.168.0.243\r\n10.1.2.3:9000:Hall\r\n-\r\n\r\n*Spare units\r\n10.1.2\r\n";
    }
    services.files["dc.txt"] = *ReadTextFileLines(path);
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(ReadTextFileLines(path).has_value());

    form.btnDirectConnectClick();
    EXPECT_EQ(services.popups.back(), "pmDirectConnect below btnDirectConnect");
    const auto& items = form.pmDirectConnect.Items();
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0].Caption, "192.168.0.243:8080");
    EXPECT_EQ(items[0].Tag, 2);
    EXPECT_EQ(items[1].Caption, "Hall");
    EXPECT_EQ(items[1].Hint, "10.1.2.3:9000");
    EXPECT_TRUE(items[2].IsSeparator());
    EXPECT_EQ(items[3].Caption, "Spare units");
    EXPECT_FALSE(items[3].Enabled);
    EXPECT_EQ(items[4].Caption, "10.1.2");
    EXPECT_FALSE(items[4].Enabled);
    EXPECT_TRUE(items[5].IsSeparator());
    EXPECT_EQ(items[6].Caption, "Other ...");
    EXPECT_EQ(items[6].Tag, 1);

    items[1].Click();
    EXPECT_EQ(reader->calls.back(), "Connect 10.1.2.3:9000 3000");
    form.btnDisconnectClick();
    form.pmDirectConnect.Items()[6].Click(); // "Other ...": the prompt
    EXPECT_EQ(editors.calls.back(), "InputString|Input a string|");

    // Ctrl always prompts; "!" alone gives no menu and so a prompt.
    services.ctrl = true;
    editors.calls.clear();
    form.btnDirectConnectClick();
    EXPECT_EQ(editors.calls.size(), 1u);
    services.ctrl = false;
    services.files["dc.txt"] = {"!"};
    editors.calls.clear();
    const size_t popups = services.popups.size();
    form.btnDirectConnectClick();
    EXPECT_EQ(services.popups.size(), popups);
    EXPECT_EQ(editors.calls.size(), 1u);
    services.files["dc.txt"] = {"-", "--"};
    EXPECT_TRUE(form.BuildDirectConnectMenu());
    EXPECT_EQ(form.pmDirectConnect.Items().size(), 4u);
    EXPECT_EQ(form.pmDirectConnect.Items()[3].Caption, "Other ...");
    services.files.clear();
    EXPECT_FALSE(form.BuildDirectConnectMenu());
}

} // namespace velkor
