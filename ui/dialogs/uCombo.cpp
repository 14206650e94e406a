#include "ui/dialogs/uCombo.h"

#include <algorithm>
#include <cctype>

namespace velkor::dialogs {

namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

bool TComboBox::IsBlockList() const {
    const std::string lowered = Lowered(Name());
    return lowered.find("sector") == std::string::npos &&
           lowered.find("block") != std::string::npos;
}

bool TComboBox::IsSelectable(int index) const {
    if (index < 0 || index >= static_cast<int>(Items().size())) {
        return false;
    }
    return !IsBlockList() || Items()[static_cast<size_t>(index)].data.has_value();
}

bool TComboBox::KeyUp() {
    return SkipTo(-1);
}

bool TComboBox::KeyDown() {
    return SkipTo(+1);
}

bool TComboBox::SkipTo(int step) {
    if (!IsBlockList() || ItemIndex() < 0) {
        return false;
    }
    const int count = static_cast<int>(Items().size());
    const int neighbour = ItemIndex() + step;
    if (neighbour < 0 || neighbour >= count || IsSelectable(neighbour)) {
        return false;
    }
    for (int index = neighbour + step; index >= 0 && index < count; index += step) {
        if (IsSelectable(index)) {
            SetItemIndex(index);
            return true;
        }
    }
    Beep();
    return true;
}

void TComboBox::DropDown() {
    droppedDown_ = true;
    remembered_ = ItemIndex();
}

bool TComboBox::CloseUp() {
    droppedDown_ = false;
    bool reopened = false;
    if (IsBlockList() && ItemIndex() >= 0 && Tag() == 0 && !IsSelectable(ItemIndex())) {
        Beep();
        droppedDown_ = true;
        reopened = true;
    }
    remembered_ = ItemIndex();
    return reopened;
}

ComboItemStyle TComboBox::ItemStyle(int index) const {
    if (!IsSelectable(index) || !Enabled()) {
        return {clWhite, clSilver, clGrey, clSilver};
    }
    if (droppedDown_ && index == remembered_) {
        return {clWhite, clNavy, clWhite, clNavy};
    }
    return {clWhite, clWhite, clBlack, clWhite};
}

void TComboBox::Beep() const {
    if (OnBeep) {
        OnBeep();
    }
}

} // namespace velkor::dialogs
