#include "ScriptedRunner.h"

#include "protocol/Win1251.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/NumberText.h"

#include <vector>

namespace velkor::dialogs::testing {
namespace {

// Types `text` into the integer dialog, checking what it showed first.
std::function<TModalResult(TfrmIntInput&)> TypeNumber(std::string shown, std::string text) {
    return [shown = std::move(shown), text = std::move(text)](TfrmIntInput& form) {
        EXPECT_EQ(form.edNum.Text(), shown);
        form.edNum.SetText(text);
        return mrOk;
    };
}

TEST(IntInput, CorrectsTextAndShowsTheDialogAgain) {
    ScriptedRunner runner;
    runner.Then(TypeNumber("1000", "70000")).Then(TypeNumber("65535", "65535"));
    EXPECT_EQ(InputInteger(runner, 300, 65535, 1000, "DB Wait TMO", 0), 65535u);
    EXPECT_EQ(runner.runs, 2);

    runner.Then(TypeNumber("1000", "007")).Then(TypeNumber("7", "7"));
    EXPECT_EQ(InputInteger(runner, 0, 65535, 1000, "n", 0), 7u);

    runner.Then(TypeNumber("1000", "many")).Then(TypeNumber("300", "-1")).Ok();
    EXPECT_EQ(InputInteger(runner, 300, 65535, 1000, "n", 0), 65535u);
    EXPECT_EQ(runner.runs, 7);
}

TEST(IntInput, PlainValueIsTakenAtOnceAndCancelGivesTheCancelValue) {
    ScriptedRunner runner;
    runner.Then(TypeNumber("500", "1200"));
    EXPECT_EQ(InputInteger(runner, 300, 65535, 500, "n", 0), 1200u);
    runner.Then<TfrmIntInput>([](TfrmIntInput& form) {
        form.edNum.SetText("1300");
        return mrCancel;
    });
    EXPECT_EQ(InputInteger(runner, 300, 65535, 500, "n", 7), 7u);
    EXPECT_EQ(runner.runs, 2);
    runner.Cancel();
    EXPECT_EQ(InputInteger(runner, 300, 65535, 500, "n", 42), 42u);
}

TEST(IntInput, ValueUsesUnsignedClamping) {
    TfrmIntInput form;
    form.edNum.SetText(" -2147483648 ");
    EXPECT_EQ(form.Value(), 0x80000000u);
    form.edNum.SetText("2147483648"); // beyond a signed 32-bit integer: not a number
    EXPECT_EQ(form.Value(), 0u);
    form.lowBound = 50;
    form.highBound = 99999;
    form.edNum.SetText("+60");
    EXPECT_EQ(form.Value(), 60u);
}

TEST(ValueEditors, WaitTimeoutAndRelayOpenTime) {
    ScriptedRunner runner;
    runner.Ok().Cancel().Then(TypeNumber("50", "100000")).Ok();
    EXPECT_EQ(EditWaitTimeout(runner, Bytes("B0 04 99"), "DB Wait TMO"), Bytes("B0 04"));
    EXPECT_EQ(EditWaitTimeout(runner, Bytes("B0 04"), "DB Wait TMO"), "");
    EXPECT_EQ(EditWaitTimeout(runner, Bytes("B0"), "DB Wait TMO"), "");
    EXPECT_EQ(EditRelayOpenTime(runner, Bytes("32 00 00 00"), "Relay Open Time"),
              Bytes("9F 86 01 00"));
    EXPECT_EQ(EditRelayOpenTime(runner, Bytes("32 00 00"), "Relay Open Time"), "");
    EXPECT_EQ(runner.runs, 4);
    EXPECT_EQ(runner.lastCaption, "Relay Open Time");
}

TEST(StringInput, TrimmedOnOkInitialOnCancel) {
    ScriptedRunner runner;
    runner
        .Then<TfrmStrInput>([](TfrmStrInput& form) {
            EXPECT_EQ(form.edStr.Text(), "");
            form.edStr.SetText("  10.0.0.5\t");
            return mrOk;
        })
        .Then<TfrmStrInput>([](TfrmStrInput& form) {
            form.edStr.SetText("changed");
            return mrCancel;
        });
    EXPECT_EQ(InputString(runner, "", "Input a string"), "10.0.0.5");
    EXPECT_EQ(InputString(runner, " kept ", "Input a string"), " kept ");
}

TEST(TextInput, KeepsTextAndDelayBetweenRuns) {
    TfrmTextInput form;
    EXPECT_EQ(form.cbDelay.Text(), "3 s");
    ScriptedRunner runner;
    runner
        .Then<TfrmTextInput>([](TfrmTextInput& shown) {
            shown.memText.SetLines({"Hello", "world"});
            shown.cbDelay.SetItemIndex(0);
            return mrOk;
        })
        .Cancel();
    const auto first = InputDisplayText(runner, form);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->text, "Hello\r\nworld");
    EXPECT_EQ(first->holdMs, 500u);
    EXPECT_FALSE(InputDisplayText(runner, form).has_value());
    EXPECT_EQ(form.cbDelay.Text(), "0,5 s");
    form.cbDelay.SetItemIndex(5);
    EXPECT_EQ(form.HoldMs(), 15000u);
}

TEST(TextInput, GuideFrameGeometry) {
    const FrameRect frame = TFramedMemo::GuideFrame(400, 200, 11, 16);
    EXPECT_EQ(frame.left, 200 - 93);
    EXPECT_EQ(frame.right, 200 + 93);
    EXPECT_EQ(frame.top, 2);
    EXPECT_EQ(frame.bottom, 96);
    EXPECT_EQ(TFramedMemo::GuideFrame(401, 200, 10, 16).left, 200 - 85);

    TFramedMemo memo;
    EXPECT_EQ(memo.GuideFrameColour(), 0x996666u);
    memo.SetEnabled(false);
    EXPECT_EQ(memo.GuideFrameColour(), 0xDDCCCCu);
}

TEST(NewCardNum, ReadsTheNumberOrZero) {
    ScriptedRunner runner;
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {" 1234 ", 1234}, {"12a", 0}, {"", 0}, {"-7", -7}};
    for (const auto& [text, number] : cases) {
        runner.Then<TfrmNewCardNum>([text = text](TfrmNewCardNum& form) {
            EXPECT_EQ(Utf8FromWin1251(form.Caption()), "Запись номера");
            form.edCardNum.SetText(text);
            return mrOk;
        });
        EXPECT_EQ(InputCardNumber(runner), std::optional<int32_t>(number)) << text;
    }
    runner.Cancel();
    EXPECT_FALSE(InputCardNumber(runner).has_value());
}

TEST(NumberText, FieldConversion) {
    EXPECT_EQ(FieldToInt("  42\t"), 42);
    EXPECT_EQ(FieldToInt("-0"), 0);
    EXPECT_EQ(FieldToInt("--1"), 0);
    EXPECT_EQ(FieldToInt("+-1"), 0);
    EXPECT_EQ(FieldToInt("1 2"), 0);
    EXPECT_EQ(FieldToInt("2147483647"), 2147483647);
    EXPECT_EQ(FieldToInt("-2147483649"), 0);
    EXPECT_EQ(FieldToInt("99999999999999999999999"), 0);
}

} // namespace
} // namespace velkor::dialogs::testing
