#include "ScriptedRunner.h"

#include "protocol/eproto.h"
#include "ui/dialogs/EditOperations.h"

#include <algorithm>

namespace velkor::dialogs::testing {

std::string Bytes(std::string hex) {
    hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
    return eproto_hex_to_bytes(hex);
}

namespace {

const std::string kRecord =
    Bytes("00 11 22 AA BB CC C0 A8 01 0A FF FF FF 00 C0 A8 01 01 EC 0B 90 1F 50 00");

TEST(NetConfig, RecordShowsAndRoundTrips) {
    TfrmNetConfig form;
    form.SetData(kRecord + "extra");
    EXPECT_EQ(form.labMAC.Caption(), "001122AABBCC");
    EXPECT_EQ(form.edIP[0].Text() + "." + form.edIP[1].Text() + "." + form.edIP[2].Text() + "." +
                  form.edIP[3].Text(),
              "192.168.1.10");
    EXPECT_EQ(form.edMask[3].Text(), "0");
    EXPECT_EQ(form.edGateway[3].Text(), "1");
    EXPECT_EQ(form.edUDPPort.Text(), "3052");
    EXPECT_EQ(form.edTCPPort.Text(), "8080");
    EXPECT_EQ(form.edDebugPort.Text(), "80");
    EXPECT_FALSE(form.edUDPPort.Enabled());

    ScriptedRunner runner;
    runner.Ok();
    EXPECT_EQ(EditNetConfig(runner, kRecord, "for: 10.0.0.7"), kRecord);
    EXPECT_EQ(runner.lastCaption, "for: 10.0.0.7");
}

TEST(NetConfig, FieldTextsWrapToTheirLowBits) {
    TfrmNetConfig form;
    form.SetData(kRecord);
    form.edIP[0].SetText("300");
    form.edIP[1].SetText("-1");
    form.edIP[2].SetText("abc");
    form.edIP[3].SetText("");
    form.edMask[0].SetText("  12 ");
    form.edTCPPort.SetText("65537");
    form.edDebugPort.SetText("8080");
    const std::string record = form.GetData();
    ASSERT_EQ(record.size(), 24u);
    EXPECT_EQ(record.substr(6, 5), Bytes("2C FF 00 00 0C"));
    EXPECT_EQ(record.substr(20, 4), Bytes("01 00 90 1F"));
}

TEST(NetConfig, ShortRecordKeepsDesignedTexts) {
    TfrmNetConfig form;
    form.SetData(kRecord.substr(0, 23));
    EXPECT_EQ(form.labMAC.Caption(), "IP");
    EXPECT_EQ(form.GetData(), Bytes("000000000000 C0A80002 FFFFFF00 C0A80001 EC0B 901F 5000"));
}

TEST(NetConfig, CancelReturnsNothingEvenAfterEdits) {
    ScriptedRunner runner;
    runner.Then<TfrmNetConfig>([](TfrmNetConfig& form) {
        form.edTCPPort.SetText("81");
        return mrCancel;
    });
    EXPECT_EQ(EditNetConfig(runner, kRecord, "Network Config"), "");
}

} // namespace
} // namespace velkor::dialogs::testing
