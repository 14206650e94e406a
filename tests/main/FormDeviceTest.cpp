// The device page: inbound dispatch, card reads, settings replies with their
// queued edits and write-back, and the outbound commands.
#include "MainFormFixture.h"

namespace velkor {

TEST_F(MainFormTest, CardReadsShowTheCardAndAnswer) {
    Connect();
    Receive(3, Bytes("04A1B2C3D40001"), 5);
    EXPECT_TRUE(form.pnCard.Visible());
    EXPECT_EQ(form.labUID.Caption(), "A1B2C3D4 (195,45729)");
    EXPECT_EQ(form.labCab.Caption(), "---");
    EXPECT_EQ(form.labCell.Caption(), "---");
    const std::string granted = W("Доступ разрешен");
    EXPECT_EQ(TakeSent(),
              (std::vector<std::string>{
                  "23:0:5:030F" + Hex(granted) + "010600A00F6400FF000232000402D007", "21:4:5:"}));

    // Denied, with a lettered cabinet number and a cell number.
    Receive(3,
            Bytes("04A1B2C3D4"
                  "0002"
                  "0081800C"
                  "00008005"),
            1);
    EXPECT_EQ(form.labCab.Caption(), "A12");
    EXPECT_EQ(form.labCell.Caption(), "5");
    auto sent = TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "23:0:1:030F" + Hex(W("Доступ запрещен")) +
                           "010601A00F3200FF00023200010601A00F6400FF000232000402D007");

    // A number with its top byte set is no locker: the holder is welcomed.
    Receive(3,
            Bytes("02A1B2"
                  "0000"
                  "01008007"),
            9);
    EXPECT_EQ(form.labCab.Caption(), "!");
    EXPECT_EQ(form.labCell.Caption(), "---");
    EXPECT_EQ(form.labUID.Caption(), "A1B2 ()");
    EXPECT_EQ(TakeSent()[0].substr(0, 3), "40:");
    // Status 0 with a closed locker: the reminder with flag B, and the flags logged.
    Receive(3,
            Bytes("02A1B2"
                  "0000"
                  "00008007"),
            9);
    EXPECT_EQ(LastLog(), "flags: 9");
    sent = TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    const std::string reminder = W("У вас есть\r\nзакрытые шкафы.\r\n\r\nРазблокируйте.");
    EXPECT_EQ(sent[0].substr(0, 9), "23:0:9:03");
    EXPECT_NE(sent[0].find(Hex(reminder)), std::string::npos);
    EXPECT_EQ(sent[0].substr(sent[0].size() - 12), "0404B80B0001");

    // Status 0 and no locker: the welcome message with the raw identifier.
    Receive(3, Bytes("02A1B20000"), 2, 0x04);
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"40:0:2:A00F000007"
                                                    "02A1B2" +
                                                    Hex(W("ДОБРО ПОЖАЛОВАТЬ"))}));
    Receive(3, Bytes("02A1B20000"), 2, 0x00);
    EXPECT_EQ(TakeSent()[0].substr(0, 17), "40:0:2:A00F000003");

    // Too short, identifier too long, no status: shown or ignored, nothing sent.
    Receive(3, Bytes("04A1B2C3D4"));
    EXPECT_EQ(form.labUID.Caption(), "A1B2C3D4 (195,45729)");
    EXPECT_EQ(form.labCab.Caption(), "--");
    form.labUID.SetCaption("unchanged");
    Receive(3, Bytes("03A1B2C3"));
    Receive(3, Bytes("09A1B2C3D4E5"));
    EXPECT_EQ(form.labUID.Caption(), "unchanged");
    EXPECT_TRUE(reader->sent.empty());

    Receive(1, "");
    EXPECT_FALSE(form.pnCard.Visible());
}

TEST_F(MainFormTest, KeepAliveAndInputStates) {
    Connect();
    Receive(6, "", 0x02, 0x05);
    EXPECT_EQ(form.shInput1.Colour(), clGreen);
    EXPECT_EQ(form.shInput2.Colour(), clSilver);
    EXPECT_EQ(form.shInput3.Colour(), clGreen);
    EXPECT_EQ(form.memLog.Lines()[form.memLog.Lines().size() - 2], "istate: [05]");
    EXPECT_EQ(LastLog(), "autoping");
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"134:0:2:"}));

    Receive(134, "", 0, 0xFA);
    EXPECT_EQ(LastLog(), "istate: [FA]");
    EXPECT_EQ(form.shInput1.Colour(), clSilver);
    EXPECT_EQ(form.shInput2.Colour(), clGreen);
    Receive(22, "", 0, 0x01);
    EXPECT_EQ(form.shInput1.Colour(), clGreen);
    // Two arrivals before the queue runs are both handled, in order.
    TRFIDReaderPacket first;
    first.cmd = 22;
    first.code = 0x02;
    TRFIDReaderPacket second = first;
    second.code = 0x04;
    reader->onPacket(first);
    reader->onPacket(second);
    ProcessAll();
    const auto& log = form.memLog.Lines();
    EXPECT_EQ(log[log.size() - 3], "istate: [02]");
    EXPECT_EQ(log[log.size() - 1], "istate: [04]");
    Receive(151, "");
    Receive(200, "AB");
    EXPECT_EQ(LastLog(), "packet cmd/flags/code[0xC8:0x00:0x00] data[4142]");
    EXPECT_TRUE(reader->sent.empty());
}

TEST_F(MainFormTest, SettingsRepliesSetCaptionsAndLockersCount) {
    Connect();
    Receive(136, Bytes("1101"));
    EXPECT_EQ(form.btnLang.Caption(), "Lang: RUS");
    Receive(136, Bytes("1107"));
    EXPECT_EQ(form.btnLang.Caption(), "Lang: RUS");
    Receive(136, Bytes("1A00"));
    EXPECT_EQ(form.btnNoNet.Caption(), "NoNet: TURN");
    Receive(136, Bytes("1A02"));
    EXPECT_EQ(form.btnNoNet.Caption(), "NoNet: TURN");
    Receive(136, Bytes("1B01"));
    EXPECT_EQ(form.btnLMode.Caption(), "LMode: VESKO");
    Receive(136, Bytes("11"));
    Receive(136, "");
    main.ProcessMessages();
    EXPECT_TRUE(editors.calls.empty());

    // 97 bytes of lockers list: six rows, so "5" switches to "6" and turns red.
    form.cbLLMC.SetItemIndex(0);
    editors.scripts["EditLockersList"] = [&](const std::string&, const std::string&) {
        EXPECT_EQ(form.cbLLMC.Colour(), clRed);
        return Bytes("01") + std::string(16, 'x');
    };
    Receive(136, "\x21\x01" + std::string(95, '\0'), 3);
    EXPECT_EQ(form.cbLLMC.Text(), "6");
    ASSERT_EQ(editors.calls.size(), 1u);
    EXPECT_EQ(editors.calls[0].substr(0, 34), "EditLockersList|Lockers list data|");
    EXPECT_EQ(form.cbLLMC.Colour(), clWindow);
    const std::string written = "\x21\x01" + std::string(16, 'x');
    EXPECT_EQ(form.memLog.Lines()[form.memLog.Lines().size() - 2],
              " data[01" + Hex(std::string(16, 'x')) + "]");
    EXPECT_EQ(LastLog(), "settings data[" + Hex(written) + "]");
    EXPECT_EQ(TakeSent(),
              (std::vector<std::string>{"9:0:3:" + Hex(written), "34:0:3:", "36:0:3:", "19:0:3:"}));

    // Cancelled, the edit still restores the colour, and logs and writes nothing.
    form.cbLLMC.SetItemIndex(0);
    editors.scripts["EditLockersList"] = [&](const std::string&, const std::string&) {
        EXPECT_EQ(form.cbLLMC.Colour(), clRed);
        return std::string();
    };
    const std::size_t linesBefore = form.memLog.Lines().size();
    Receive(136, "\x21\x01" + std::string(95, '\0'), 3);
    EXPECT_EQ(form.cbLLMC.Colour(), clWindow);
    const auto& lines = form.memLog.Lines();
    for (std::size_t line = linesBefore; line < lines.size(); ++line) {
        EXPECT_NE(lines[line].rfind(" data[", 0), 0u) << lines[line];
    }
    EXPECT_TRUE(TakeSent().empty());

    // A matching count leaves the colour alone.
    editors.scripts.clear();
    Receive(136, "\x21\x01" + std::string(95, '\0'));
    EXPECT_EQ(form.cbLLMC.Colour(), clWindow);
}

TEST_F(MainFormTest, SettingsRepliesOpenTheirEditorsWithLengthChecks) {
    Connect();
    struct Case {
        std::string data;
        std::string expectedCall; // empty: nothing opens
    };
    const std::vector<Case> cases = {
        {Bytes("20") + std::string(97, '\x11'), "EditSectorKeys|Sector Keys|"},
        {Bytes("20") + std::string(95, '\x11'), ""},
        {Bytes("132C01"), "EditWaitTimeout|DB Wait TMO|2C01"},
        {Bytes("132C"), ""},
        {Bytes("1F32000000"), "EditRelayOpenTime|Relay Open Time|32000000"},
        {Bytes("1F320000"), ""},
        {Bytes("1D05"), "EditOptoFlags|Relay Close Flags|05"},
        {Bytes("1E06"), "EditOptoFlags|Relay Open Flags|06"},
        {Bytes("2507"), "EditOptoFlags|Relay Hold Flags|07"},
        {Bytes("23CFF0"), "EditAuthFlags|Auth Flags|CFF0"},
        {Bytes("300102"), "EditUSARTConfig|USART Flags|0102"},
        {Bytes("2408"), "EditDebugFlags|Debug Flags|08"},
        {Bytes("1D"), ""},
        {Bytes("4001"), ""},
    };
    for (const Case& c : cases) {
        editors.calls.clear();
        Receive(136, c.data);
        main.ProcessMessages();
        if (c.expectedCall.empty()) {
            EXPECT_TRUE(editors.calls.empty()) << Hex(c.data);
        } else {
            ASSERT_EQ(editors.calls.size(), 1u) << Hex(c.data);
            EXPECT_EQ(editors.calls[0].substr(0, c.expectedCall.size()), c.expectedCall);
        }
    }
    // Nothing was confirmed, so nothing was written.
    EXPECT_TRUE(reader->sent.empty());

    // The network record reply opens its editor only while connected.
    editors.calls.clear();
    Receive(136, "\x08" + std::string(24, '\x42'));
    ASSERT_EQ(editors.calls.size(), 1u);
    EXPECT_EQ(editors.calls[0], "EditNetConfig|Network Config|" + Hex(std::string(24, '\x42')));
}

TEST_F(MainFormTest, EditsQueueOneOverTheOtherAndWriteBackWhenTheyClose) {
    Connect();
    // The first dialog runs its own message loop: the second reply arrives and
    // its dialog opens over the first.
    std::vector<std::string> order;
    editors.scripts["EditSectorKeys"] = [&](const std::string& v, const std::string&) {
        order.push_back("keys open");
        Receive(136, Bytes("2405"), 7);
        order.push_back("keys close");
        return std::string(v.size(), '\x22');
    };
    editors.scripts["EditDebugFlags"] = [&](const std::string&, const std::string&) {
        order.push_back("debug");
        return Bytes("0F");
    };
    Receive(136, Bytes("20") + std::string(98, '\x11'), 6);
    EXPECT_EQ(order, (std::vector<std::string>{"keys open", "debug", "keys close"}));
    const auto sent = TakeSent();
    ASSERT_EQ(sent.size(), 8u);
    EXPECT_EQ(sent[0], "9:0:7:240F");
    EXPECT_EQ(sent[3], "19:0:7:");
    EXPECT_EQ(sent[4], "9:0:6:20" + Hex(std::string(98, '\x22')));
    EXPECT_EQ(sent[5], "34:0:6:");
    EXPECT_EQ(sent[6], "36:0:6:");
    EXPECT_EQ(sent[7], "19:0:6:");

    // The connection drops while the dialog is open: nothing is written.
    editors.scripts["EditWaitTimeout"] = [&](const std::string&, const std::string&) {
        reader->onError("closed");
        return Bytes("5802");
    };
    Receive(136, Bytes("132C01"));
    for (const std::string& s : TakeSent()) {
        EXPECT_EQ(s.substr(0, 3), "23:"); // only the farewell text
    }

    // A confirmed network record also becomes LastNetConfig.
    Connect();
    editors.scripts["EditNetConfig"] = [](const std::string&, const std::string&) {
        return std::string(24, '\x55');
    };
    Receive(136, "\x08" + std::string(24, '\x42'));
    EXPECT_EQ(form.LastNetConfig, std::string(24, '\x55'));
    EXPECT_EQ(TakeSent()[0], "9:0:0:08" + Hex(std::string(24, '\x55')));
}

TEST_F(MainFormTest, DeviceButtonsSendTheirCommands) {
    Connect();
    form.btnBeepClick();
    form.btnQuackClick();
    for (const TControl* b : {&form.btnRelay1, &form.btnRelay2, &form.btnRelay3, &form.btnRelay4,
                              &form.Button1, &form.Button2}) {
        form.btnRelayClick(*b);
    }
    EXPECT_EQ(TakeSent(),
              (std::vector<std::string>{"23:0:0:010600A00F9600FF", "13:0:0:", "21:4:0:", "21:68:0:",
                                        "21:132:0:", "21:196:0:", "21:192:0:", "21:255:0:"}));
    EXPECT_FALSE(form.PulseRelay(0, 3200, 0));
    EXPECT_FALSE(form.PulseRelay(4, 0, 0));
    EXPECT_TRUE(reader->sent.empty());

    form.btnWriteNumberClick(form.Button3); // cancelled
    editors.cardNumber = 0;                 // "abc" reads as 0
    form.btnWriteNumberClick(form.Button3);
    editors.cardNumber = 70000;
    form.btnWriteNumberClick(form.Button4);
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"33:0:0:3E0000", "33:0:0:217011"}));

    for (int lamp = 1; lamp <= 3; ++lamp) {
        form.shInputMouseUp(lamp);
    }
    form.pmReset.Items()[0].Click();
    form.pmReset.Items()[1].Items[0].Click();
    form.pmReset.Items()[2].Items[0].Click();
    form.pmReset.Items()[2].Items[1].Click();
    form.pmReset.Items()[3].Click();
    form.btnResetBehaviorClick();
    EXPECT_EQ(TakeSent(), (std::vector<std::string>{"41:0:0:11", "41:0:0:21", "41:0:0:31",
                                                    "41:0:0:01", "41:0:0:11", "41:0:0:02",
                                                    "41:0:0:12", "41:0:0:03", "20:0:0:"}));
    form.btnCDevRestartContextPopup();
    EXPECT_EQ(services.popups.back(), "pmReset at mouse");

    // "Text": the text with its hold item, then the melody with the same hold.
    editors.displayText = IConfigEditors::DisplayText{"Hi", 15000};
    form.trbVolume.SetPosition(100);
    form.btnTextClick();
    auto sent = TakeSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], "23:0:0:030248690402983A");
    EXPECT_EQ(sent[1].size(), 7u + 94 * 2);
    EXPECT_EQ(sent[1].substr(7, 30), "0201FF0106004B025E0064"
                                     "00021F00");
    EXPECT_EQ(sent[1].substr(sent[1].size() - 8), "04"
                                                  "02983A");
    // Too long for one packet: only the melody goes.
    editors.displayText = IConfigEditors::DisplayText{std::string(130, 'x'), 500};
    form.btnTextClick();
    EXPECT_EQ(TakeSent().size(), 1u);

    form.btnCDevRestartClick();
    sent = TakeSent();
    EXPECT_EQ(sent[0], "41:0:0:03");
    EXPECT_EQ(reader->calls.back(), "Disconnect 100");
    Connect();
    form.btnIntNetRestartClick();
    EXPECT_EQ(TakeSent()[0], "16:0:0:");
    EXPECT_EQ(form.pcMain.ActivePage(), &form.tsMain);
}

} // namespace velkor
