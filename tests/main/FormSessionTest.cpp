// Start-up, shut-down, log, discovery list, connect and disconnect, keep-alive.
#include "MainFormFixture.h"

#include "device/DeviceCommands.h"

#include <chrono>

namespace velkor {

using namespace std::chrono_literals;

TEST_F(MainFormTest, StartUpPreparesReaderPagesAndDefaults) {
    EXPECT_EQ(reader->calls, (std::vector<std::string>{"SetKey", "Start"}));
    EXPECT_EQ(reader->key, "qzx");
    EXPECT_EQ(reader->udpFlag, 1);
    EXPECT_EQ(Hex(form.LastNetConfig), "90A2DA0F364FC0A800F3FFFFFF00C0A80001EC0B901F5000");
    ASSERT_EQ(form.LockKits.size(), 18u);
    EXPECT_EQ(form.LockKits.front().Caption, W("62+33 (Яч)"));
    EXPECT_EQ(form.LockKits.back().Caption, "No Locks");
    EXPECT_TRUE(form.LockKits.back().Locks.empty());
    EXPECT_FALSE(form.pcMain.TabsVisible());
    EXPECT_EQ(form.pcMain.ActivePage(), &form.tsMain);
    EXPECT_FALSE(form.pnToolBar.Visible());
    EXPECT_FALSE(form.btnLlistReq.Visible());
    EXPECT_FALSE(form.CheckBox1.Visible());
    EXPECT_EQ(form.trbVolume.Position(), 255);
    EXPECT_EQ(form.cbLLMC.Text(), "6");

    form.cbUDPFlag.SetItemIndex(2);
    form.cbUDPFlagChange();
    EXPECT_EQ(reader->udpFlag, 3);

    // Closing while connected sends nothing and destroys the reader.
    Connect();
    form.FormDestroy();
    EXPECT_TRUE(reader->sent.empty());
    EXPECT_EQ(reader->calls.back(), "destroyed");
}

TEST_F(MainFormTest, LogKeepsNewestHundredLinesAndFormatsArrivals) {
    size_t droppedSeen = 0;
    form.memLog.SetAppendListener(
        [&](const std::string&, size_t dropped) { droppedSeen += dropped; });
    for (int i = 1; i <= 101; ++i) {
        form.AddLog("line " + std::to_string(i));
    }
    ASSERT_EQ(form.memLog.Lines().size(), 100u);
    EXPECT_EQ(form.memLog.Lines().front(), "line 2");
    EXPECT_EQ(LastLog(), "line 101");
    EXPECT_EQ(droppedSeen, 1u);

    reader->onDatagram(TRFIDReaderDatagram{Bytes("2A8700"), "192.168.0.243", 3052});
    EXPECT_EQ(LastLog(), "datagram [2A8700:3] 192.168.0.243:3052");

    Receive(136, Bytes("1101"));
    EXPECT_EQ(LastLog(), "packet cmd/flags/code[0x88:0x00:0x00] data[1101]");
    Receive(151, "", 2, 0xAB);
    EXPECT_EQ(LastLog(), "packet cmd/flags/code[0x97:0x02:0xAB] data[]");

    // Device text with control bytes stays on one readable line.
    Receive(39, std::string("ok\r\nA\\\x01", 7));
    EXPECT_EQ(LastLog(), "USART data: [ok\\x0D\\x0AA\\\\\\x01]");
}

TEST_F(MainFormTest, DiscoveryListSortsEntriesAndCountsThem) {
    std::vector<int> inserted;
    form.lbDeviceList.SetListListener([&](int index) { inserted.push_back(index); });
    form.btnScanClick();
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"7:0:1:"}));
    EXPECT_EQ(form.btnScan.Caption(), "Scan");

    DiscoveryAnswer first = Device("192.168.0.5", "90A2DA0F364F");
    first.Items.Seconds = 90061;
    first.Items.SignedSeconds = static_cast<int32_t>(0x8000003Cu);
    reader->onDevice(first);
    EXPECT_EQ(LastLog(), "discovered device: 90-A2-DA-0F-36-4F [192.168.0.5:8080] "
                         "[Corvix Device/DEDIV_EZ] [u 1d 01:01:01] [+ 00:01:00]");
    DiscoveryAnswer second = Device("10.0.0.7", "001122AABBCC");
    second.Items.SignedSeconds = 60;
    reader->onDevice(second);
    reader->onDevice(Device("192.168.0.4", "000000000001"));
    EXPECT_EQ(form.btnScan.Caption(), "Scan (3)");
    EXPECT_EQ(inserted, (std::vector<int>{-1, 0, 1, 0}));
    const auto entries = [&](int i) { return form.lbDeviceList.Row(i); };
    EXPECT_EQ(entries(0).Caps.IPText, "192.168.0.4");
    EXPECT_EQ(entries(1).Caps.IPText, "192.168.0.5");
    EXPECT_EQ(entries(2).Caps.IPText, "10.0.0.7");
    EXPECT_EQ(entries(2).Text, "00-11-22-AA-BB-CC [10.0.0.7:8080] [Corvix Device/DEDIV_EZ] "
                               "[- 00:01:00]");
    EXPECT_EQ(entries(0).Text, "00-00-00-00-00-01 [192.168.0.4:8080] [Corvix Device/DEDIV_EZ]");

    form.lbDeviceList.SetItemIndex(2);
    form.lbDeviceListClick();
    EXPECT_EQ(LastLog(), "clicked on [00-11-22-AA-BB-CC]");
    form.lbDeviceList.SetItemIndex(-1);
    const size_t lines = form.memLog.Lines().size();
    form.lbDeviceListClick();
    form.lbDeviceListDblClick();
    EXPECT_EQ(form.memLog.Lines().size(), lines);
    EXPECT_EQ(reader->calls.back(), "Discover");

    form.btnScanClick();
    EXPECT_EQ(form.lbDeviceList.EntryCount(), 0);
    EXPECT_EQ(form.btnScan.Caption(), "Scan");
}

TEST_F(MainFormTest, ConnectSequenceSendsGreetingReadsAndStartsPinger) {
    reader->onDevice(Device("10.0.0.9", "001122AABBCC"));
    form.lbDeviceList.SetItemIndex(0);
    form.lbDeviceListDblClick();
    EXPECT_EQ(form.memLog.Lines()[form.memLog.Lines().size() - 2],
              "dblclicked on [00-11-22-AA-BB-CC]");
    EXPECT_EQ(LastLog(), "connected");
    EXPECT_EQ(reader->calls.back(), "Connect 10.0.0.9:8080 3000");
    EXPECT_EQ(form.pcMain.ActivePage(), &form.tsDevice);
    EXPECT_TRUE(form.pnToolBar.Visible());
    EXPECT_TRUE(form.pnDevice.Visible());
    EXPECT_FALSE(form.labConnecting.Visible());
    EXPECT_FALSE(form.pnCard.Visible());
    EXPECT_TRUE(form.tmrPinger.Enabled());
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"6:0:0:0A000F00",
                                                    "23:0:0:03096"
                                                    "36F6E6E6563746564"
                                                    "0106"
                                                    "00A00F6400FF"
                                                    "00023200"
                                                    "0402F401",
                                                    "8:0:0:11", "8:0:0:1A", "8:0:0:1B"}));
    EXPECT_EQ(form.btnLang.Tag(), 17);
    EXPECT_EQ(form.btnLMode.Caption(), "LMode");

    // Keep-alive ticks every 5 s while the device page shows, never after.
    main.AdvanceClock(5000ms);
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"6:0:0:"}));
    form.btnDisconnectClick();
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"23:0:0:030C646973636F6E6E6563746564"
                                                    "0106"
                                                    "01A00F6400FF"
                                                    "00023200"
                                                    "0402F401"}));
    EXPECT_EQ(reader->calls.back(), "Disconnect 100");
    EXPECT_EQ(form.pcMain.ActivePage(), &form.tsMain);
    EXPECT_FALSE(form.pnToolBar.Visible());
    main.AdvanceClock(20000ms);
    EXPECT_TRUE(form.tmrPinger.Enabled());
    EXPECT_TRUE(reader->sent.empty());
}

TEST_F(MainFormTest, DisconnectWaitKeepsProcessingMessages) {
    Connect();
    // A packet queued before the disconnect is still dispatched during its wait.
    TRFIDReaderPacket packet;
    packet.cmd = 22;
    packet.code = 1;
    reader->onPacket(packet);
    ASSERT_EQ(main.PendingCount(), 1u);
    const auto before = main.Now();
    form.btnDisconnectClick();
    EXPECT_EQ(main.Now() - before, std::chrono::milliseconds(300));
    EXPECT_EQ(form.shInput1.Colour(), clGreen);
}

TEST_F(MainFormTest, FailedConnectsAndPrompts) {
    reader->connectSucceeds = false;
    form.lbDeviceListDblClick(); // empty list: the default controller
    EXPECT_EQ(reader->calls[2], "Connect 192.168.0.243:8080 3000");
    EXPECT_EQ(form.memLog.Lines().front(), "connect failed");
    EXPECT_EQ(form.pcMain.ActivePage(), &form.tsMain);
    EXPECT_EQ(reader->calls.back(), "Disconnect 100");
    EXPECT_FALSE(form.tmrPinger.Enabled());

    reader->connectSucceeds = true;
    editors.stringAnswer = "";
    EXPECT_FALSE(form.ConnectPrompt());
    editors.stringAnswer = "10.0.0.9:9000:Hall";
    EXPECT_TRUE(form.ConnectPrompt());
    EXPECT_EQ(editors.calls.back(), "InputString|Input a string|");
    EXPECT_EQ(reader->calls.back(), "Connect 10.0.0.9:9000 3000");

    // A TCP error logs and runs the disconnect sequence.
    reader->onError("read: ecode[104], estr[reset]");
    EXPECT_EQ(form.memLog.Lines()[form.memLog.Lines().size() - 1], "tcp error: read: ecode[104], "
                                                                   "estr[reset]");
    EXPECT_EQ(reader->calls.back(), "Disconnect 100");
    EXPECT_FALSE(form.pnToolBar.Visible());
}

TEST_F(MainFormTest, DiscoveryCommandsTargetTheSelectionOrEveryone) {
    form.btnNetRestartClick();
    ASSERT_EQ(reader->sent.size(), 1u);
    EXPECT_EQ(reader->sent[0].target, "");
    reader->sent.clear();

    reader->onDevice(Device("192.168.0.17", "001122AABBCC"));
    reader->onDevice(Device("", "00112233AA01")); // answered without an address tag
    form.lbDeviceList.SetItemIndex(1);
    ASSERT_EQ(form.lbDeviceList.Selected()->Caps.IPText, "192.168.0.17");
    form.btnNetRestartClick();
    ASSERT_EQ(reader->sent.size(), 1u);
    EXPECT_EQ(reader->sent[0].cmd, 16);
    EXPECT_EQ(reader->sent[0].target, "192.168.0.17");
    EXPECT_EQ(reader->udpTarget, "");
    reader->sent.clear();

    form.lbDeviceListContextPopup();
    EXPECT_EQ(services.popups.back(), "pmReset at mouse");
    form.pmReset.Items()[2].Items[2].Click(); // Reset NetCard / Reboot (PWR)
    ASSERT_EQ(reader->sent.size(), 1u);
    EXPECT_EQ(Hex(reader->sent[0].data), "22");
    EXPECT_EQ(reader->sent[0].target, "192.168.0.17");
    reader->sent.clear();

    // The address-less entry: nothing may go out, and the log says why.
    form.lbDeviceList.SetItemIndex(0);
    form.btnNetRestartClick();
    form.btnNetCfgGetClick();
    form.btnLlistReqClick();
    form.ResetMenuChoose(kResetMcu);
    form.btnNetCfgSetClick();
    services.popups.clear();
    form.lbDeviceListContextPopup();
    EXPECT_TRUE(reader->sent.empty());
    EXPECT_TRUE(services.popups.empty());
    EXPECT_TRUE(editors.calls.empty());
    EXPECT_EQ(LastLog(), "nothing sent: the selected device [00-11-22-33-AA-01] reported no "
                         "address");

    // "Reset All" asks first and then goes to everyone.
    form.lbDeviceList.SetItemIndex(1);
    form.bntResetAllClick();
    EXPECT_TRUE(reader->sent.empty());
    services.answerYes = true;
    reader->udpTarget = "192.168.0.17";
    form.bntResetAllClick();
    EXPECT_EQ(services.questions.back(),
              "Warning!|This command will reset all devices in range. Do you want to proceed?");
    ASSERT_EQ(reader->sent.size(), 1u);
    EXPECT_EQ(reader->sent[0].target, "");
    EXPECT_EQ(Hex(reader->sent[0].data), "03");
}

TEST_F(MainFormTest, NetConfigGetAndSetOnTheDiscoveryPage) {
    reader->onDevice(Device("192.168.0.17", "001122AABBCC"));
    form.lbDeviceList.SetItemIndex(0);
    form.btnNetCfgGetClick();
    EXPECT_EQ(reader->sent.back().target, "192.168.0.17");
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"8:0:1:08"}));

    // The reply replaces LastNetConfig but opens nothing without a connection.
    const std::string record = Bytes("112233445566C0A80011FFFFFF00C0A80001EC0B901F5000");
    Receive(136, "\x08" + record + "EXTRA");
    EXPECT_EQ(form.LastNetConfig, record);
    main.ProcessMessages();
    EXPECT_TRUE(editors.calls.empty());
    Receive(136, "\x08" + record.substr(1));
    EXPECT_EQ(form.LastNetConfig, record);

    editors.scripts["EditNetConfig"] = [](const std::string& v, const std::string&) {
        std::string changed = v;
        changed[9] = 0x20;
        return changed;
    };
    form.btnNetCfgSetClick();
    EXPECT_EQ(editors.calls.back(), "EditNetConfig|for: 192.168.0.17|" + Hex(record));
    ASSERT_EQ(reader->sent.size(), 1u);
    EXPECT_EQ(reader->sent[0].target, "192.168.0.17");
    EXPECT_EQ(Hex(reader->sent[0].data), "08112233445566C0A80020FFFFFF00C0A80001EC0B901F5000");
    EXPECT_EQ(form.LastNetConfig[9], 0x20);
    EXPECT_EQ(reader->udpTarget, "");

    form.lbDeviceList.SetItemIndex(-1);
    editors.scripts.clear();
    reader->sent.clear();
    form.btnNetCfgSetClick();
    EXPECT_EQ(editors.calls.back().substr(0, 29), "EditNetConfig|Network Config|");
    EXPECT_TRUE(reader->sent.empty());
}

} // namespace velkor
