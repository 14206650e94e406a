// The editors the window uses in the program: each reaches its dialog through
// the modal runner and converts the dialog's answer.
#include "ui/main/DialogEditors.h"
#include "ui/dialogs/UIntInput.h"
#include "ui/dialogs/ULockersInput.h"
#include "ui/dialogs/USectorKeys.h"
#include "ui/dialogs/uAuthFlagsInput.h"
#include "ui/dialogs/uDebugFlagsInput.h"
#include "ui/dialogs/uNetConfig.h"
#include "ui/dialogs/uNewCardNum.h"
#include "ui/dialogs/uOptoFlagsInput.h"
#include "ui/dialogs/uStrInput.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/dialogs/uUSARTCfg.h"

#include <gtest/gtest.h>

namespace velkor {

namespace {

using namespace dialogs;

// Confirms every dialog after an optional edit, or cancels every dialog.
class ScriptedRunner final : public IModalRunner {
public:
    TModalResult answer = mrCancel;
    std::vector<std::string> captions;

private:
    // Types what a user would into the dialogs whose answer the editors parse.
    static void Edit(TfrmStrInput& d) { d.edStr.SetText("  10.0.0.9:81 "); }
    static void Edit(TfrmTextInput& d) { d.memText.SetLines({"a", "b"}); }
    static void Edit(TfrmNewCardNum& d) { d.edCardNum.SetText("70000"); }
    static void Edit(DialogForm&) {}

    TModalResult Show(AnyDialog dialog) override {
        return std::visit(
            [this](auto* form) {
                Edit(*form);
                captions.push_back(form->Caption());
                return answer;
            },
            dialog);
    }
};

} // namespace

TEST(DialogEditors, ForwardToTheDialogsAndConvertTheirAnswers) {
    ScriptedRunner runner;
    TfrmTextInput textInput;
    DialogEditors editors(runner, textInput);
    const std::string lockers = std::string(1, '\0') + std::string(96, '\0');

    EXPECT_EQ(editors.EditSectorKeys(std::string(98, '\x11'), "Sector Keys"), "");
    EXPECT_EQ(editors.EditLockersList(lockers, "Lockers list data"), "");
    EXPECT_EQ(editors.EditWaitTimeout(std::string("\x2C\x01", 2), "DB Wait TMO"), "");
    EXPECT_EQ(editors.InputString("", "Input a string"), "");
    EXPECT_FALSE(editors.InputDisplayText());
    EXPECT_FALSE(editors.InputCardNumber());
    EXPECT_EQ(runner.captions[0], "Sector Keys");
    EXPECT_EQ(runner.captions[1], "Lockers list data");

    runner.answer = mrOk;
    EXPECT_EQ(editors.EditLockersList(lockers, "Lockers list data"), lockers);
    EXPECT_EQ(editors.EditWaitTimeout(std::string("\x2C\x01", 2), "DB Wait TMO"),
              std::string("\x2C\x01", 2));
    EXPECT_EQ(editors.InputString("", "Input a string"), "10.0.0.9:81");
    const auto text = editors.InputDisplayText();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text, "a\r\nb");
    EXPECT_EQ(text->holdMs, 3000u);
    EXPECT_EQ(editors.InputCardNumber(), 70000);
}

} // namespace velkor
