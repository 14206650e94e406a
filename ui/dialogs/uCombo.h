// The combo box every dialog uses: the standard one under the same class name,
// with entries that may not be chosen. A combo whose lower-cased name contains
// "block" (and not "sector") is a block list: entries without a data value may
// not be chosen, are drawn greyed and are skipped by the arrow keys. Any other
// combo behaves as the standard one.
#pragma once

#include "ui/controls/Colour.h"
#include "ui/controls/Controls.h"

#include <functional>

namespace velkor::dialogs {

// Colours of one drawn entry of a block list.
struct ComboItemStyle {
    TColour areaFill;     // the whole entry
    TColour textAreaFill; // from textIndent on
    TColour textColour;
    TColour textBackground;
};

class TComboBox : public velkor::TComboBox {
public:
    static constexpr int kTextIndent = 3; // pixels from the entry's left edge to its text

    using velkor::TComboBox::TComboBox;

    std::function<void()> OnBeep; // the view's beep, for a refused key or choice

    bool DroppedDown() const { return droppedDown_; }
    // The entry remembered at drop-down and close-up (-1: none).
    int Remembered() const { return remembered_; }

    bool IsBlockList() const;
    bool IsSelectable(int index) const;

    // Up and down arrows. Returns true when the combo consumed the key: the view
    // then discards the keys still queued for it and does not process this one.
    // False leaves the key to the normal one-step handling.
    bool KeyUp();
    bool KeyDown();

    void DropDown();
    // Returns true when the list was dropped down again because the entry
    // picked may not be chosen.
    bool CloseUp();

    ComboItemStyle ItemStyle(int index) const;

private:
    bool SkipTo(int step);
    void Beep() const;

    bool droppedDown_ = false;
    int remembered_ = -1;
};

} // namespace velkor::dialogs
