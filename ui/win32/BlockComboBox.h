// The combo box of the dialogs, bound to its model. A block list (the model
// decides by its name) is owner-drawn: entries that may not be chosen are
// grey on silver, the arrow keys skip them (discarding the keys still queued
// for the combo) and close-up refuses them unless the combo's tag allows
// them; any other combo is a plain drop-down list. Either may drop its list
// down when the user types.
#pragma once

#include <windows.h>

namespace velkor {

namespace dialogs {
class TComboBox;
}

class BlockComboBox {
public:
    BlockComboBox(dialogs::TComboBox& model, HWND combo, bool dropOnTyping);

    // Copies the model's entries and selection into the combo.
    void Refresh();
    // A CBN_ notification of the combo.
    void Command(WORD code);
    // WM_DRAWITEM of a block list.
    void Draw(const DRAWITEMSTRUCT& item) const;
    HWND Window() const { return combo_; }

private:
    static LRESULT CALLBACK Keys(HWND combo, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR self);
    // Returns true when the key was taken.
    bool KeyDown(WPARAM key);
    // A letter typed: the list drops down and shows the next entry starting with it.
    void TypeAhead(wchar_t typed);

    dialogs::TComboBox& model_;
    HWND combo_;
    bool dropOnTyping_;
    int dropIndex_ = -1; // the selection when the list dropped down
};

} // namespace velkor
