#include "ui/win32/ComboItems.h"

#include "ui/win32/Win32Text.h"

namespace velkor {

std::wstring ComboItemText(HWND combo, int index) {
    const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void ShowComboItems(HWND combo, const TComboBox& model) {
    const std::vector<ComboItem>& items = model.Items();
    const auto count = static_cast<size_t>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    bool same = count == items.size();
    for (size_t i = 0; same && i < count; ++i) {
        same = ComboItemText(combo, static_cast<int>(i)) == Wide(items[i].text);
    }
    if (!same) {
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (const ComboItem& item : items) {
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item.text).c_str()));
        }
    }
    if (SendMessageW(combo, CB_GETCURSEL, 0, 0) != model.ItemIndex()) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(model.ItemIndex()), 0);
    }
}

} // namespace velkor
