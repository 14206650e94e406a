#include "ui/controls/Controls.h"

#include <algorithm>

namespace velkor {

void ChangeTracker::Notify(const TControl& control) {
    ++revision_;
    if (listener_) {
        listener_(control);
    }
}

TControl::TControl(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {
}

TControl::TControl(ChangeTracker& tracker, std::string name, std::string caption, bool visible)
    : tracker_(&tracker), name_(std::move(name)), caption_(std::move(caption)), visible_(visible) {
}

void TControl::Changed() const {
    if (tracker_ != nullptr) {
        tracker_->Notify(*this);
    }
}

void TControl::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Changed();
}

void TControl::SetVisible(bool visible) {
    visible_ = visible;
    Changed();
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Changed();
}

void TControl::SetColour(TColour colour) {
    colour_ = colour;
    Changed();
}

void TControl::SetTag(int tag) {
    tag_ = tag;
    Changed();
}

void TControl::SetHint(std::string hint) {
    hint_ = std::move(hint);
    Changed();
}

void TEdit::SetText(std::string text) {
    text_ = std::move(text);
    Changed();
}

void TEdit::SetMaxLength(int maxLength) {
    maxLength_ = maxLength;
    Changed();
}

void TEdit::SetBold(bool bold) {
    bold_ = bold;
    Changed();
}

void TMemo::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    Changed();
}

std::string TMemo::Text() const {
    std::string text;
    for (std::size_t n = 0; n < lines_.size(); ++n) {
        if (n > 0) {
            text += "\r\n";
        }
        text += lines_[n];
    }
    return text;
}

void TCheckBox::SetChecked(bool checked) {
    checked_ = checked;
    Changed();
}

void TButton::SetBold(bool bold) {
    bold_ = bold;
    Changed();
}

void TButton::SetModalResult(TModalResult result) {
    modalResult_ = result;
    Changed();
}

void TButton::SetDefault(bool isDefault) {
    isDefault_ = isDefault;
    Changed();
}

void TButton::SetCancel(bool isCancel) {
    isCancel_ = isCancel;
    Changed();
}

TComboBox::TComboBox(ChangeTracker& tracker, std::string name, std::vector<std::string> items,
                     int itemIndex)
    : TControl(tracker, std::move(name)) {
    SetItems(std::move(items), itemIndex);
}

void TComboBox::Clear() {
    items_.clear();
    SetItemIndex(-1);
}

void TComboBox::Add(std::string text, std::optional<int> data) {
    items_.push_back({std::move(text), data});
    Changed();
}

void TComboBox::SetItems(std::vector<std::string> items, int index) {
    items_.clear();
    for (std::string& text : items) {
        items_.push_back({std::move(text), std::nullopt});
    }
    SetItemIndex(index);
}

void TComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        itemIndex_ = -1;
        text_.clear();
    } else {
        itemIndex_ = index;
        text_ = items_[static_cast<size_t>(index)].text;
    }
    Changed();
}

void TComboBox::SetText(std::string text) {
    itemIndex_ = IndexOf(text);
    text_ = std::move(text);
    Changed();
}

int TComboBox::IndexOf(const std::string& text) const {
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [&text](const ComboItem& item) { return item.text == text; });
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TMenuItem::Click() const {
    if (Enabled && OnClick) {
        OnClick();
    }
}

void TPopupMenu::Clear() {
    items_.clear();
    Changed();
}

void TPopupMenu::Add(TMenuItem item) {
    items_.push_back(std::move(item));
    Changed();
}

TTrackBar::TTrackBar(ChangeTracker& tracker, std::string name, int min, int max, int position)
    : TControl(tracker, std::move(name)), min_(min), max_(max), position_(position) {
}

void TTrackBar::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    Changed();
}

void TPageControl::SetActivePage(const TControl& page) {
    activePage_ = &page;
    Changed();
}

void TPageControl::SetTabsVisible(bool visible) {
    tabsVisible_ = visible;
    Changed();
}

TTimer::TTimer(ChangeTracker& tracker, std::string name, unsigned intervalMs)
    : TControl(tracker, std::move(name)), intervalMs_(intervalMs) {
    SetEnabled(false);
}

} // namespace velkor
