// The lockers list dialog: six rows of block selector and name; a block
// selector opens the sector and block menu below itself.
#include "ui/dialogs/ULockersInput.h"
#include "ui/win32/DialogViews.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowNames.h"

#include <vector>

namespace velkor {

namespace {

constexpr int kWidth = 190;
constexpr int kRowStep = 18;

// Adds `items` to `menu`; a chosen entry's command is its place in `leaves` plus one.
void AddMenuItems(HMENU menu, const std::vector<dialogs::TMenuItem>& items,
                  std::vector<const dialogs::TMenuItem*>& leaves) {
    for (const dialogs::TMenuItem& item : items) {
        const UINT state = item.Enabled ? MF_ENABLED : MF_GRAYED;
        if (!item.Items.empty()) {
            const HMENU sub = CreatePopupMenu();
            AddMenuItems(sub, item.Items, leaves);
            AppendMenuW(menu, MF_POPUP | state, reinterpret_cast<UINT_PTR>(sub),
                        Wide(item.Caption).c_str());
            continue;
        }
        leaves.push_back(&item);
        AppendMenuW(menu, MF_STRING | state, leaves.size(), Wide(item.Caption).c_str());
    }
}

// Opens the model's menu at the selector's bottom-left corner and applies the choice.
void ChooseBlock(dialogs::TfrmLockersInput& form, DialogWindow& dialog, HWND selector) {
    std::vector<const dialogs::TMenuItem*> leaves;
    const HMENU menu = CreatePopupMenu();
    AddMenuItems(menu, form.pmLockers.items, leaves);
    RECT button;
    GetWindowRect(selector, &button);
    const auto chosen = static_cast<size_t>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON,
                       button.left, button.bottom, 0, dialog.Window(), nullptr));
    DestroyMenu(menu);
    if (chosen > 0 && chosen <= leaves.size()) {
        form.pmLockersChoose(*leaves[chosen - 1]);
        dialog.Refresh();
    }
}

} // namespace

dialogs::ModalResult ShowDialog(dialogs::TfrmLockersInput& form, HWND owner) {
    constexpr int kButtonTop = 7 + dialogs::TfrmLockersInput::kRows * kRowStep;
    DialogWindow dialog(form, "TfrmLockersInput", owner, {kWidth, kButtonTop + 21});
    for (int n = 0; n < dialogs::TfrmLockersInput::kRows; ++n) {
        const auto at = static_cast<size_t>(n);
        const int top = 7 + n * kRowStep;
        // The click rebuilds the model's menu first, then the menu opens.
        dialog.Button(form.btnLock[at], {7, top, 62, 14}, kFixed, [&form, &dialog, at] {
            form.btnLockClick(static_cast<int>(at));
            ChooseBlock(form, dialog, FindNamedChild(dialog.Window(), form.btnLock[at].name));
        });
        dialog.Edit(form.edLock[at], {73, top + 1, kWidth - 80, 12});
    }
    dialog.Button(form.Button1, {kWidth - 7 - 50 - 4 - 50, kButtonTop, 50, 14});
    dialog.Button(form.Button2, {kWidth - 7 - 50, kButtonTop, 50, 14});
    return dialog.Run();
}

} // namespace velkor
