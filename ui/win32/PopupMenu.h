// A Win32 popup menu built from menu models. It holds copies of the entries:
// a chosen entry's Click() runs after the menu has closed, so the model may
// rebuild its own menu meanwhile. Each entry carries its hint as item data,
// which the owner window shows in its status bar on WM_MENUSELECT.
#pragma once

#include "ui/controls/Controls.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace velkor {

class PopupMenu {
public:
    explicit PopupMenu(const std::vector<TMenuItem>& items);
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    HMENU Handle() const { return menu_; }
    // Shows the menu with its top-left corner at `at` (screen pixels) and
    // waits until it closes; the chosen entry, or nullptr.
    const TMenuItem* Track(HWND owner, POINT at) const;

private:
    HMENU Build(const std::vector<TMenuItem>& items);

    HMENU menu_ = nullptr;
    std::deque<TMenuItem> entries_; // command id n is entries_[n - 1]
    std::deque<std::wstring> hints_;
};

// The hint of the menu entry a WM_MENUSELECT highlights (its wParam and
// lParam); empty for separators, for entries without one, for an entry that
// loses its highlight and when the menu closed.
std::wstring MenuSelectHint(WPARAM wParam, LPARAM lParam);

} // namespace velkor
