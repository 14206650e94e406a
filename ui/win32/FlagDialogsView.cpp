// The three flag dialogs: optocoupler inputs, debug flags and authorisation
// flags, one check box per bit and two lists for the wider fields.
#include "ui/dialogs/uAuthFlagsInput.h"
#include "ui/dialogs/uDebugFlagsInput.h"
#include "ui/dialogs/uOptoFlagsInput.h"
#include "ui/win32/DialogViews.h"
#include "ui/win32/DialogWindow.h"

namespace velkor {

namespace {

constexpr int kRowStep = 13;
constexpr int kButtonWidth = 50;

// The Ok button at the bottom right of a dialog `width` units wide.
void OkButton(DialogWindow& dialog, TButton& ok, int width, int top) {
    dialog.Button(ok, {width - 7 - kButtonWidth, top, kButtonWidth, 14});
}

} // namespace

TModalResult ShowDialog(dialogs::TfrmOptoFlagsInput& form, HWND owner) {
    constexpr int kWidth = 140;
    constexpr int kButtonTop = 7 + dialogs::TfrmOptoFlagsInput::kInputs * kRowStep + 4;
    DialogWindow dialog(form, "TfrmOptoFlagsInput", owner, {kWidth, kButtonTop + 21});
    for (size_t input = 0; input < dialogs::TfrmOptoFlagsInput::kInputs; ++input) {
        const int top = 7 + static_cast<int>(input) * kRowStep;
        dialog.CheckBox(form.cbUseOpto[input], {7, top, 55, 10});
        dialog.CheckBox(form.cbOptoEdge[input], {66, top, 67, 10});
    }
    OkButton(dialog, form.Button1, kWidth, kButtonTop);
    return dialog.Run();
}

TModalResult ShowDialog(dialogs::TfrmDebugFlagsInput& form, HWND owner) {
    constexpr int kWidth = 140;
    constexpr int kButtonTop = 7 + 3 * kRowStep + 4;
    DialogWindow dialog(form, "TfrmDebugFlagsInput", owner, {kWidth, kButtonTop + 21});
    int top = 7;
    for (TCheckBox* box : {&form.cbDisplayOptoStatus, &form.cbSSD1309, &form.cbNoSplash}) {
        dialog.CheckBox(*box, {7, top, kWidth - 14, 10});
        top += kRowStep;
    }
    OkButton(dialog, form.Button1, kWidth, kButtonTop);
    return dialog.Run();
}

TModalResult ShowDialog(dialogs::TfrmAuthFlagsInput& form, HWND owner) {
    constexpr int kWidth = 236;
    constexpr int kBoxes = 8;
    constexpr int kListsTop = 7 + kBoxes * kRowStep + 3;
    constexpr int kButtonTop = kListsTop + 2 * 16 + 4;
    DialogWindow dialog(form, "TfrmAuthFlagsInput", owner, {kWidth, kButtonTop + 21});
    int top = 7;
    for (TCheckBox* box : {&form.cbnlaAll, &form.cbnlaAuth, &form.cbnlaUnauth, &form.cbnlaNoFinger,
                           &form.cbnlaNetFastReact, &form.cbnlaCTReject, &form.cbnlaUIDUnlock,
                           &form.cbnlaNCAuthSet}) {
        dialog.CheckBox(*box, {7, top, kWidth - 14, 10});
        top += kRowStep;
    }
    dialog.Label(form.labReaderLock, {7, kListsTop + 2, 50, 8});
    dialog.ComboBox(form.cbReaderLock, {60, kListsTop, kWidth - 67, 12});
    dialog.Label(form.labABlock, {7, kListsTop + 18, 50, 8});
    dialog.ComboBox(form.cbABlock, {60, kListsTop + 16, kWidth - 67, 12});
    OkButton(dialog, form.Button1, kWidth, kButtonTop);
    return dialog.Run();
}

} // namespace velkor
