#include "ui/win32/BlockComboBox.h"

#include "ui/dialogs/uCombo.h"
#include "ui/win32/ComboItems.h"
#include "ui/win32/Win32Colour.h"
#include "ui/win32/Win32Text.h"

#include <commctrl.h>

#include <string>

namespace velkor {

namespace {

constexpr UINT_PTR kKeysSubclass = 2;

int Selection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

bool ModifierHeld() {
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GetKeyState(VK_SHIFT) & 0x8000) != 0 ||
           (GetKeyState(VK_MENU) & 0x8000) != 0;
}

} // namespace

BlockComboBox::BlockComboBox(dialogs::TComboBox& model, HWND combo, bool dropOnTyping)
    : model_(model), combo_(combo), dropOnTyping_(dropOnTyping) {
    if (model_.IsBlockList() && !model_.OnBeep) {
        model_.OnBeep = [] { MessageBeep(MB_OK); };
    }
    SetWindowSubclass(combo_, Keys, kKeysSubclass, reinterpret_cast<DWORD_PTR>(this));
    Refresh();
}

void BlockComboBox::Refresh() {
    ShowComboItems(combo_, model_);
}

void BlockComboBox::Command(WORD code) {
    switch (code) {
    case CBN_SELCHANGE:
        model_.SetItemIndex(Selection(combo_));
        break;
    case CBN_DROPDOWN:
        model_.SetItemIndex(Selection(combo_));
        dropIndex_ = model_.ItemIndex();
        model_.DropDown();
        break;
    case CBN_CLOSEUP:
        model_.SetItemIndex(Selection(combo_));
        if (model_.CloseUp()) {
            // Refused: back to the earlier entry, and the list opens again.
            model_.SetItemIndex(dropIndex_);
            Refresh();
            PostMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);
        }
        break;
    default:
        break;
    }
}

bool BlockComboBox::KeyDown(WPARAM key) {
    if (!model_.IsBlockList() || (key != VK_UP && key != VK_DOWN) || ModifierHeld()) {
        return false;
    }
    model_.SetItemIndex(Selection(combo_));
    if (!(key == VK_UP ? model_.KeyUp() : model_.KeyDown())) {
        return false;
    }
    MSG queued; // the keys typed ahead are dropped, as the key itself
    while (PeekMessageW(&queued, combo_, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    Refresh();
    return true;
}

void BlockComboBox::TypeAhead(wchar_t typed) {
    if (SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0) == FALSE) {
        SendMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);
    }
    // The next entry that starts with the letter; the list stays open (left
    // to the list box, a typed letter closes it on some systems).
    const wchar_t prefix[] = {typed, L'\0'};
    const auto found = SendMessageW(combo_, CB_FINDSTRING, static_cast<WPARAM>(Selection(combo_)),
                                    reinterpret_cast<LPARAM>(prefix));
    if (found != CB_ERR) {
        SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        model_.SetItemIndex(static_cast<int>(found));
    }
}

LRESULT CALLBACK BlockComboBox::Keys(HWND combo, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<BlockComboBox*>(data);
    switch (message) {
    case WM_KEYDOWN:
        if (self->KeyDown(wParam)) {
            return 0;
        }
        break;
    case WM_CHAR:
        if (self->dropOnTyping_ && wParam >= L' ') {
            self->TypeAhead(static_cast<wchar_t>(wParam));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(combo, Keys, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(combo, message, wParam, lParam);
}

void BlockComboBox::Draw(const DRAWITEMSTRUCT& item) const {
    const HDC dc = item.hDC;
    RECT area = item.rcItem;
    const auto index = static_cast<int>(item.itemID);
    if (index < 0) {
        FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    const dialogs::ComboItemStyle style = model_.ItemStyle(index);
    auto fill = [dc](const RECT& where, COLORREF colour) {
        const HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &where, brush);
        DeleteObject(brush);
    };
    fill(area, ModelColour(style.areaFill));
    RECT text = area;
    text.left += dialogs::TComboBox::kTextIndent;
    fill(text, ModelColour(style.textAreaFill));
    SetTextColor(dc, ModelColour(style.textColour));
    SetBkColor(dc, ModelColour(style.textBackground));
    SetBkMode(dc, OPAQUE);
    std::wstring caption = ComboItemText(combo_, index);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_COMBOBOXEDIT) != 0) {
        DrawFocusRect(dc, &area);
    }
}

} // namespace velkor
