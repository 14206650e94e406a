// Plain models of the controls a dialog is made of. A dialog class holds its
// controls as these fields; the window toolkit draws them, copies the user's
// edits back into them and forwards clicks and keys to the dialog's handlers.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velkor::dialogs {

// What a modal dialog returns when it closes.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
};

struct TControl {
    std::string name;
    bool enabled = true;
    bool visible = true;
    int tag = 0;
};

struct TLabel : TControl {
    std::string caption;
};

struct TEdit : TControl {
    std::string text;
    int maxLength = 0; // 0: no limit
    bool bold = false;
};

struct TCheckBox : TControl {
    std::string caption;
    bool checked = false;
};

struct TButton : TControl {
    std::string caption;
    bool bold = false;
    ModalResult modalResult = mrNone; // closes the dialog with this result when clicked
    bool isDefault = false;           // Enter clicks it
    bool isCancel = false;            // Escape clicks it
};

// A multi-line text box; the lines are Windows-1251 texts.
struct TMemo : TControl {
    std::vector<std::string> lines;

    // The lines joined with CR LF, as the toolkit reports a memo's text.
    std::string Text() const;
};

struct TGroupBox : TControl {
    std::string caption;
};

// One popup-menu entry, shared by the main window's menus and the dialogs'; a
// caption of "-" makes a separator and a non-empty Items a submenu. OnClick is
// empty for separators, disabled entries and entries whose owner handles the
// choice itself (a dialog's menu hands the chosen entry to its handler).
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

struct TPopupMenu : TControl {
    std::vector<TMenuItem> items;
};

// Factories for the controls most dialogs share.
TLabel MakeLabel(const char* name, const char* caption);
TCheckBox MakeCheckBox(std::string name, const char* caption);
// "Ok": Enter clicks it, closes with mrOk.
TButton MakeOkButton(const char* name = "btnOk");
TButton MakeCancelButton(); // "Cancel": Escape clicks it, closes with mrCancel

} // namespace velkor::dialogs
