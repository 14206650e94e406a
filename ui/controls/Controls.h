// The control models every window of the program is made of: the main
// window's logic and each dialog hold their controls as these objects, and a
// front end binds its widgets to them. The logic sets a control through its
// setters; the view copies the user's edits back through the same setters and
// forwards clicks, choices and keys to the handlers of the window or dialog.
// Texts are Windows-1251 byte strings.
//
// A control made with a ChangeTracker (the main window's) tells it about every
// change, so a view can coalesce repaints (remember the controls that changed,
// refresh them once per frame). A control made without one (a dialog's) tells
// nobody: a dialog view refreshes all its widgets after each handler.
#pragma once

#include "ui/controls/Colour.h"

#include <cstdint>
#include <functional>
#include <optional>
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

// What a modal window returns when it closes.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
};

class TControl {
public:
    explicit TControl(std::string name = {}, std::string caption = {});
    TControl(ChangeTracker& tracker, std::string name, std::string caption = {},
             bool visible = true);
    virtual ~TControl() = default;
    TControl(const TControl&) = default;
    TControl& operator=(const TControl&) = default;

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
    void Changed() const;

private:
    ChangeTracker* tracker_ = nullptr;
    std::string name_;
    std::string caption_;
    std::string hint_;
    TColour colour_ = clDefault;
    int tag_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
};

class TLabel : public TControl {
public:
    using TControl::TControl;
};

class TGroupBox : public TControl {
public:
    using TControl::TControl;
};

// A one-line text box.
class TEdit : public TControl {
public:
    using TControl::TControl;
    const std::string& Text() const { return text_; }
    int MaxLength() const { return maxLength_; }
    bool Bold() const { return bold_; }

    void SetText(std::string text);
    void SetMaxLength(int maxLength); // 0: no limit
    void SetBold(bool bold);

private:
    std::string text_;
    int maxLength_ = 0;
    bool bold_ = false;
};

// A multi-line text box.
class TMemo : public TControl {
public:
    using TControl::TControl;
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    // The lines joined with CR LF, as the toolkit reports a memo's text.
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};

class TCheckBox : public TControl {
public:
    using TControl::TControl;
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

private:
    bool checked_ = false;
};

class TButton : public TControl {
public:
    using TControl::TControl;
    bool Bold() const { return bold_; }
    // The result a click closes the modal window with (mrNone: it does not).
    TModalResult ModalResult() const { return modalResult_; }
    bool IsDefault() const { return isDefault_; } // Enter clicks it
    bool IsCancel() const { return isCancel_; }   // Escape clicks it

    void SetBold(bool bold);
    void SetModalResult(TModalResult result);
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);

private:
    TModalResult modalResult_ = mrNone;
    bool bold_ = false;
    bool isDefault_ = false;
    bool isCancel_ = false;
};

struct ComboItem {
    std::string text;
    std::optional<int> data; // the value the entry stands for, if any
};

// A drop-down list; where free text is allowed, Text() may name no item.
class TComboBox : public TControl {
public:
    using TControl::TControl;
    TComboBox(ChangeTracker& tracker, std::string name, std::vector<std::string> items,
              int itemIndex);

    const std::vector<ComboItem>& Items() const { return items_; }
    int ItemIndex() const { return itemIndex_; }
    const std::string& Text() const { return text_; }

    void Clear();
    void Add(std::string text, std::optional<int> data = std::nullopt);
    // Replaces the items and selects `index` of the new ones (-1: none).
    void SetItems(std::vector<std::string> items, int index);
    // Selects the item (-1 or no such item: none) and shows its text.
    void SetItemIndex(int index);
    // Shows the text and selects the item with that text, if any.
    void SetText(std::string text);
    // The index of the first item whose text equals `text`, or -1.
    int IndexOf(const std::string& text) const;

private:
    std::vector<ComboItem> items_;
    std::string text_;
    int itemIndex_ = -1;
};

// One popup-menu entry, a value; a caption of "-" makes a separator and a
// non-empty Items a submenu. OnClick is empty for separators, disabled entries
// and entries whose owner handles the choice itself (a dialog's menu hands the
// chosen entry to its handler).
struct TMenuItem {
    std::string Caption;
    std::string Hint;
    int Tag = 0;
    bool Enabled = true;
    std::vector<TMenuItem> Items; // submenu
    std::function<void()> OnClick;

    bool IsSeparator() const { return Caption == "-"; }
    // Runs OnClick if the entry is enabled and has one.
    void Click() const;
};

class TPopupMenu : public TControl {
public:
    using TControl::TControl;
    const std::vector<TMenuItem>& Items() const { return items_; }
    void Clear();
    void Add(TMenuItem item);

private:
    std::vector<TMenuItem> items_;
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

// Starts disabled; a view runs its handler every Interval() ms while enabled.
class TTimer : public TControl {
public:
    TTimer(ChangeTracker& tracker, std::string name, unsigned intervalMs);
    unsigned Interval() const { return intervalMs_; }

private:
    unsigned intervalMs_;
};

} // namespace velkor
