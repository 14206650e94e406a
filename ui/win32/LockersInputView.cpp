// The lockers list dialog: six rows of block selector and name; a block
// selector opens the sector and block menu below itself.
#include "ui/dialogs/ULockersInput.h"
#include "ui/win32/DialogViews.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/PopupMenu.h"
#include "ui/win32/WindowNames.h"

namespace velkor {

namespace {

constexpr int kWidth = 190;
constexpr int kRowStep = 18;

// Opens the model's menu at the selector's bottom-left corner and applies the choice.
void ChooseBlock(dialogs::TfrmLockersInput& form, DialogWindow& dialog, HWND selector) {
    RECT button;
    GetWindowRect(selector, &button);
    const PopupMenu menu(form.pmLockers.Items());
    if (const TMenuItem* chosen = menu.Track(dialog.Window(), {button.left, button.bottom})) {
        form.pmLockersChoose(*chosen);
        dialog.Refresh();
    }
}

} // namespace

TModalResult ShowDialog(dialogs::TfrmLockersInput& form, HWND owner) {
    constexpr int kButtonTop = 7 + dialogs::TfrmLockersInput::kRows * kRowStep;
    DialogWindow dialog(form, "TfrmLockersInput", owner, {kWidth, kButtonTop + 21});
    for (int n = 0; n < dialogs::TfrmLockersInput::kRows; ++n) {
        const auto at = static_cast<size_t>(n);
        const int top = 7 + n * kRowStep;
        // The click rebuilds the model's menu first, then the menu opens.
        dialog.Button(form.btnLock[at], {7, top, 62, 14}, kFixed, [&form, &dialog, at] {
            form.btnLockClick(static_cast<int>(at));
            ChooseBlock(form, dialog, FindNamedChild(dialog.Window(), form.btnLock[at].Name()));
        });
        dialog.Edit(form.edLock[at], {73, top + 1, kWidth - 80, 12});
    }
    dialog.Button(form.Button1, {kWidth - 7 - 50 - 4 - 50, kButtonTop, 50, 14});
    dialog.Button(form.Button2, {kWidth - 7 - 50, kButtonTop, 50, 14});
    return dialog.Run();
}

} // namespace velkor
