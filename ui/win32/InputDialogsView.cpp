// The small input dialogs: integer, string, display text with its delay, and
// the card number.
#include "ui/dialogs/UIntInput.h"
#include "ui/dialogs/uNewCardNum.h"
#include "ui/dialogs/uStrInput.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/win32/DialogViews.h"
#include "ui/win32/DialogWindow.h"

namespace velkor {

namespace {

// One edit and its button; the edit's text is selected, so typing replaces it.
TModalResult ShowOneLine(dialogs::DialogForm& form, const char* className, TEdit& field,
                         TButton& ok, HWND owner) {
    DialogWindow dialog(form, className, owner, {186, 28});
    const HWND edit = dialog.Edit(field, {7, 8, 118, 12});
    dialog.Button(ok, {131, 7, 50, 14});
    return dialog.Run(edit);
}

} // namespace

TModalResult ShowDialog(dialogs::TfrmIntInput& form, HWND owner) {
    return ShowOneLine(form, "TfrmIntInput", form.edNum, form.Button1, owner);
}

TModalResult ShowDialog(dialogs::TfrmStrInput& form, HWND owner) {
    return ShowOneLine(form, "TfrmStrInput", form.edStr, form.Button1, owner);
}

TModalResult ShowDialog(dialogs::TfrmTextInput& form, HWND owner) {
    DialogWindow dialog(
        form, "TfrmTextInput", owner,
        {320, 180, true, dialogs::TfrmTextInput::kMinWidth, dialogs::TfrmTextInput::kMinHeight});
    const HWND memo = dialog.Memo(form.memText, {7, 7, 306, 146}, kGrowRight | kGrowDown);
    dialog.ComboBox(form.cbDelay, {7, 159, 50, 12}, kMoveDown);
    dialog.Button(form.btnOk, {209, 158, 50, 14}, kMoveRight | kMoveDown);
    dialog.Button(form.btnCancel, {263, 158, 50, 14}, kMoveRight | kMoveDown);
    return dialog.Run(memo, false);
}

TModalResult ShowDialog(dialogs::TfrmNewCardNum& form, HWND owner) {
    DialogWindow dialog(form, "TfrmNewCardNum", owner, {186, 40});
    dialog.Label(form.Label1, {7, 7, 172, 8});
    const HWND edit = dialog.Edit(form.edCardNum, {7, 20, 118, 12});
    dialog.Button(form.btnOK, {131, 19, 50, 14});
    return dialog.Run(edit);
}

} // namespace velkor
