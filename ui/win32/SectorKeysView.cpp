// The sector keys dialog: one row per sector with its key field and key-B box.
// Typing, pasting and leaving a key field go through the model's rules.
#include "ui/dialogs/USectorKeys.h"
#include "ui/win32/DialogViews.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowText.h"

#include <string>

namespace velkor {

namespace {

constexpr int kWidth = 160;
constexpr int kRowStep = 13;
constexpr int kRowsTop = 20;

// The character a key field inserts for the one typed, 0 for none.
wchar_t KeyFieldCharacter(wchar_t typed) {
    const std::string narrow = Narrow(std::wstring(1, typed));
    const char accepted = dialogs::TfrmSectorKeys::edPasswordKeyPress(narrow[0]);
    return accepted == '\0' ? L'\0' : Wide(std::string(1, accepted))[0];
}

} // namespace

TModalResult ShowDialog(dialogs::TfrmSectorKeys& form, HWND owner) {
    constexpr int kButtonTop = kRowsTop + dialogs::TfrmSectorKeys::kSectors * kRowStep + 4;
    DialogWindow dialog(form, "TfrmSectorKeys", owner, {kWidth, kButtonTop + 21});
    dialog.Label(form.Label17, {120, 7, 33, 8}, kFixed, SS_CENTER);
    for (int n = 0; n < dialogs::TfrmSectorKeys::kSectors; ++n) {
        const auto at = static_cast<size_t>(n);
        const int top = kRowsTop + n * kRowStep;
        dialog.Label(form.rowLabels[at], {7, top + 2, 40, 8});
        const HWND key =
            dialog.Edit(form.edPassword[at], {48, top, 68, 12}, kFixed, KeyFieldCharacter);
        dialog.OnCommand(key, [&form, &dialog, key, n](WORD code) {
            if (code == EN_CHANGE) { // typing and pasting
                form.edPassword[static_cast<size_t>(n)].SetText(WindowText(key));
                form.edPasswordChange(n);
                dialog.Refresh();
            } else if (code == EN_KILLFOCUS && IsWindowVisible(dialog.Window())) {
                form.edPasswordExit(n);
                dialog.Refresh();
            }
        });
        dialog.CheckBox(form.cbKeyB[at], {132, top + 1, 10, 10});
    }
    dialog.Button(form.btnOk, {kWidth - 7 - 50 - 4 - 50, kButtonTop, 50, 14});
    dialog.Button(form.btnCancel, {kWidth - 7 - 50, kButtonTop, 50, 14});
    return dialog.Run();
}

} // namespace velkor
