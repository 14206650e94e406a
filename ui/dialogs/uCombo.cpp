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

void TComboBox::Clear() {
    items.clear();
    itemIndex = -1;
}

void TComboBox::Add(std::string text, std::optional<int> data) {
    items.push_back({std::move(text), data});
}

void TComboBox::SelectPosition(int position) {
    itemIndex = position >= 0 && position < static_cast<int>(items.size()) ? position : -1;
}

std::string TComboBox::Text() const {
    return itemIndex >= 0 ? items[itemIndex].text : "";
}

bool TComboBox::IsBlockList() const {
    const std::string lowered = Lowered(name);
    return lowered.find("sector") == std::string::npos &&
           lowered.find("block") != std::string::npos;
}

bool TComboBox::IsSelectable(int index) const {
    if (index < 0 || index >= static_cast<int>(items.size())) {
        return false;
    }
    return !IsBlockList() || items[index].data.has_value();
}

bool TComboBox::KeyUp() {
    return SkipTo(-1);
}

bool TComboBox::KeyDown() {
    return SkipTo(+1);
}

bool TComboBox::SkipTo(int step) {
    if (!IsBlockList() || itemIndex < 0) {
        return false;
    }
    const int neighbour = itemIndex + step;
    if (neighbour < 0 || neighbour >= static_cast<int>(items.size()) || IsSelectable(neighbour)) {
        return false;
    }
    for (int index = neighbour + step; index >= 0 && index < static_cast<int>(items.size());
         index += step) {
        if (IsSelectable(index)) {
            itemIndex = index;
            return true;
        }
    }
    Beep();
    return true;
}

void TComboBox::DropDown() {
    droppedDown = true;
    remembered = itemIndex;
}

bool TComboBox::CloseUp() {
    droppedDown = false;
    bool reopened = false;
    if (IsBlockList() && itemIndex >= 0 && tag == 0 && !IsSelectable(itemIndex)) {
        Beep();
        droppedDown = true;
        reopened = true;
    }
    remembered = itemIndex;
    return reopened;
}

ComboItemStyle TComboBox::ItemStyle(int index) const {
    if (!IsSelectable(index) || !enabled) {
        return {clWhite, clSilver, clGrey, clSilver};
    }
    if (droppedDown && index == remembered) {
        return {clWhite, clNavy, clWhite, clNavy};
    }
    return {clWhite, clWhite, clBlack, clWhite};
}

void TComboBox::Beep() const {
    if (onBeep) {
        onBeep();
    }
}

} // namespace velkor::dialogs
