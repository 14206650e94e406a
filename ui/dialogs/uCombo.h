// The combo box model every dialog uses. A combo whose lower-cased name
// contains "block" (and not "sector") is a block list: entries without a data
// value may not be chosen, are drawn greyed and are skipped by the arrow keys.
// Any other combo behaves as a plain one.
#pragma once

#include "ui/dialogs/Colour.h"
#include "ui/dialogs/Controls.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velkor::dialogs {

struct ComboItem {
    std::string text;
    std::optional<int> data; // no data value: not selectable in a block list
};

// Colours of one drawn entry of a block list.
struct ComboItemStyle {
    TColour areaFill;     // the whole entry
    TColour textAreaFill; // from textIndent on
    TColour textColour;
    TColour textBackground;
};

class TComboBox : public TControl {
public:
    static constexpr int kTextIndent = 3; // pixels from the entry's left edge to its text

    std::vector<ComboItem> items;
    int itemIndex = -1; // -1: no selection
    bool droppedDown = false;
    int remembered = -1; // the entry remembered at drop-down and close-up
    std::function<void()> onBeep;

    void Clear();
    void Add(std::string text, std::optional<int> data = std::nullopt);

    // Selects entry `position`, or nothing when there is no such entry.
    void SelectPosition(int position);
    std::string Text() const;

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
};

} // namespace velkor::dialogs
