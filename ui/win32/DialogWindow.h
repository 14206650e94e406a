// A modal Win32 dialog bound to a dialog model: each bound control takes the
// model's state at Refresh and writes the user's edits straight back into the
// model, so the model's own handlers always work on what the user sees.
// Controls are placed in dialog units of the dialog font (8-point
// "MS Sans Serif", else the system's message font). Buttons with a modal
// result close the dialog with it; Enter clicks the default button and Escape
// only the cancel button, as the models say. While the dialog runs, its owner
// is disabled and the dialog's own loop dispatches through the message pump.
#pragma once

#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace velkor {

namespace dialogs {
class TComboBox;
struct TFramedMemo;
} // namespace dialogs

class BlockComboBox;
class FramedMemo;

// How a control follows the dialog's size when the user resizes it.
enum Anchor : unsigned {
    kFixed = 0,
    kGrowRight = 1, // the width grows with the dialog
    kGrowDown = 2,  // the height grows with the dialog
    kMoveRight = 4, // keeps its distance to the right edge
    kMoveDown = 8,  // keeps its distance to the bottom edge
};

// A rectangle in dialog units.
struct DluRect {
    int x;
    int y;
    int width;
    int height;
};

class DialogWindow {
public:
    struct Size {
        int width; // dialog units, the client area
        int height;
        bool sizeable = false;
        int minWidth = 0; // pixels at 96 DPI, the whole window
        int minHeight = 0;
    };

    DialogWindow(dialogs::DialogForm& form, std::string_view className, HWND owner, Size size);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND Label(TLabel& model, DluRect where, unsigned anchors = kFixed, DWORD align = SS_LEFT);
    // `keyFilter` sees each typed character (not control characters) and
    // returns the one to insert, or 0 to swallow it.
    HWND Edit(TEdit& model, DluRect where, unsigned anchors = kFixed,
              std::function<wchar_t(wchar_t)> keyFilter = {});
    // `captionFirst`: the caption reads like a field label in front of the box.
    HWND CheckBox(TCheckBox& model, DluRect where, bool captionFirst = false);
    HWND Button(TButton& model, DluRect where, unsigned anchors = kFixed,
                std::function<void()> onClick = {});
    // `dropOnTyping`: typing into the closed list drops it down first.
    HWND ComboBox(dialogs::TComboBox& model, DluRect where, unsigned anchors = kFixed,
                  bool dropOnTyping = false);
    HWND GroupBox(const TGroupBox& model, DluRect where, unsigned anchors = kFixed);
    HWND Memo(dialogs::TFramedMemo& model, DluRect where, unsigned anchors = kFixed);

    // Calls `handler` with the notification code of every WM_COMMAND `control` sends.
    void OnCommand(HWND control, std::function<void(WORD code)> handler);
    // Copies every bound model into its control.
    void Refresh();
    // Shows the dialog modally with the focus on `focus` (the first control
    // that takes it when nullptr), an edit's text selected, or with `selectText`
    // false its caret at the start; a close by the close box counts as mrCancel.
    TModalResult Run(HWND focus = nullptr, bool selectText = true);

    HWND Window() const { return window_; }
    HWND Owner() const { return owner_; }
    // True while Refresh writes into the controls (their notifications are not edits).
    bool Refreshing() const { return refreshing_; }

private:
    struct Placed {
        HWND control;
        RECT start; // client coordinates at the designed size
        unsigned anchors;
    };

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Create(const wchar_t* windowClass, DWORD style, DluRect where, unsigned anchors,
                const TControl* model);
    void Command(WORD id, WORD code, HWND control);
    void Layout();
    void Centre();
    void End(TModalResult result);
    HFONT Font(bool bold) const;
    void ShowBold(HWND control, bool bold) const;

    dialogs::DialogForm& form_;
    HWND owner_;
    HWND window_ = nullptr;
    Size size_;
    SIZE designedClient_{};
    mutable HFONT boldFont_ = nullptr; // made when a control first shows bold
    int nextId_ = 100;                 // clear of IDOK and IDCANCEL, which the dialog keys send
    std::vector<Placed> placed_;
    std::vector<std::function<void()>> refreshers_;
    std::map<HWND, std::function<void(WORD)>> commands_;
    std::map<HWND, std::function<void()>> clicks_; // buttons, for Enter and Escape
    std::vector<std::unique_ptr<std::function<wchar_t(wchar_t)>>> keyFilters_;
    std::vector<std::unique_ptr<BlockComboBox>> combos_;
    std::vector<std::unique_ptr<FramedMemo>> memos_;
    HWND cancelButton_ = nullptr;
    bool refreshing_ = false;
    bool done_ = false;
    TModalResult result_ = mrCancel;
};

} // namespace velkor
