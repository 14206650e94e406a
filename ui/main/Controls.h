// Plain models of the main window's controls. The window logic sets them; the
// window toolkit mirrors them and forwards clicks, choices and key states back
// to the handlers of TRFIDMainForm. Texts are Windows-1251 byte strings.
//
// Every change goes through a setter that bumps one shared revision counter and
// calls one listener with the control that changed, so a view can coalesce
// repaints (remember the controls that changed, refresh them once per frame).
#pragma once

#include "ui/dialogs/Colour.h"
#include "ui/dialogs/Controls.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velkor {

class TControl;

class ChangeTracker {
public:
    using Listener = std::function<void(const TControl&)>;

    void SetListener(Listener listener) { listener_ = std::move(listener); }
    uint64_t Revision() const { return revision_; }
    void Notify(const TControl& control);

private:
    Listener listener_;
    uint64_t revision_ = 0;
};

class TControl {
public:
    TControl(ChangeTracker& tracker, std::string name, std::string caption = {},
             bool visible = true);
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    bool Visible() const { return visible_; }
    bool Enabled() const { return enabled_; }
    TColour Colour() const { return colour_; }
    int Tag() const { return tag_; }
    const std::string& Hint() const { return hint_; }

    void SetCaption(std::string caption);
    void SetVisible(bool visible);
    void SetEnabled(bool enabled);
    void SetColour(TColour colour);
    void SetTag(int tag);
    void SetHint(std::string hint);

protected:
    void Changed() { tracker_.Notify(*this); }

private:
    ChangeTracker& tracker_;
    std::string name_;
    std::string caption_;
    std::string hint_;
    TColour colour_ = clDefault;
    int tag_ = 0;
    bool visible_;
    bool enabled_ = true;
};

// A drop-down list; with free text allowed, Text() may name no item.
class TComboBox : public TControl {
public:
    TComboBox(ChangeTracker& tracker, std::string name, std::vector<std::string> items,
              int itemIndex);

    const std::vector<std::string>& Items() const { return items_; }
    int ItemIndex() const { return itemIndex_; }
    const std::string& Text() const { return text_; }

    // Replaces the items and selects `index` of the new ones (-1: none).
    void SetItems(std::vector<std::string> items, int index);
    // Selects the item (-1: none) and shows its text.
    void SetItemIndex(int index);
    // Shows the text and selects the item with that text, if any.
    void SetText(std::string text);
    // The index of the first item whose text equals `text`, or -1.
    int IndexOf(const std::string& text) const;

private:
    std::vector<std::string> items_;
    std::string text_;
    int itemIndex_ = -1;
};

// A one-line text box.
class TEdit : public TControl {
public:
    using TControl::TControl;
    const std::string& Text() const { return text_; }
    void SetText(std::string text);

private:
    std::string text_;
};

class TCheckBox : public TControl {
public:
    using TControl::TControl;
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

private:
    bool checked_ = false;
};

class TTrackBar : public TControl {
public:
    TTrackBar(ChangeTracker& tracker, std::string name, int min, int max, int position);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    // Clamps to Min..Max.
    void SetPosition(int position);

private:
    int min_;
    int max_;
    int position_;
};

class TPageControl : public TControl {
public:
    using TControl::TControl;
    const TControl* ActivePage() const { return activePage_; }
    bool TabsVisible() const { return tabsVisible_; }
    void SetActivePage(const TControl& page);
    void SetTabsVisible(bool visible);

private:
    const TControl* activePage_ = nullptr;
    bool tabsVisible_ = true;
};

class TTimer : public TControl {
public:
    TTimer(ChangeTracker& tracker, std::string name, unsigned intervalMs);
    unsigned Interval() const { return intervalMs_; }

private:
    unsigned intervalMs_;
};

using dialogs::TMenuItem; // one menu entry type for the window and the dialogs

class TPopupMenu : public TControl {
public:
    using TControl::TControl;
    const std::vector<TMenuItem>& Items() const { return items_; }
    void Clear();
    void Add(TMenuItem item);

private:
    std::vector<TMenuItem> items_;
};

} // namespace velkor
