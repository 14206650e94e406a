#include "ui/win32/DialogWindow.h"

#include "ui/dialogs/uCombo.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/win32/BlockComboBox.h"
#include "ui/win32/DialogFont.h"
#include "ui/win32/FramedMemo.h"
#include "ui/win32/MessagePump.h"
#include "ui/win32/WindowNames.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>

#include <algorithm>

namespace velkor {

namespace {

constexpr UINT_PTR kEditKeysSubclass = 1;
constexpr int kComboListHeight = 110; // dialog units below the closed combo
constexpr wchar_t kSelectAll = 1;     // the character Ctrl+A types

using KeyFilter = std::function<wchar_t(wchar_t)>;

// An empty dialog template in the window font; the controls are added as
// windows once the dialog exists.
std::vector<WORD> EmptyTemplate(DWORD style, int width, int height) {
    const FontChoice font = WindowFontChoice();
    std::vector<WORD> words;
    auto dword = [&words](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    dword(style);
    dword(0);           // extended style
    words.push_back(0); // no items
    words.push_back(0); // x and y: the dialog is centred before it shows
    words.push_back(0);
    words.push_back(static_cast<WORD>(width));
    words.push_back(static_cast<WORD>(height));
    words.push_back(0); // no menu
    words.push_back(0); // the standard dialog class
    words.push_back(0); // the caption comes from the model
    words.push_back(static_cast<WORD>(font.points));
    words.insert(words.end(), font.face.begin(), font.face.end());
    words.push_back(0);
    return words;
}

// Ctrl+A selects the whole text of every edit; a key filter decides on the
// characters typed.
LRESULT CALLBACK EditKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
    if (message == WM_CHAR && wParam == kSelectAll) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return 0;
    }
    const auto* filter = reinterpret_cast<const KeyFilter*>(data);
    if (message == WM_CHAR && wParam >= L' ' && filter != nullptr && *filter) {
        const wchar_t accepted = (*filter)(static_cast<wchar_t>(wParam));
        if (accepted == 0) {
            return 0;
        }
        wParam = accepted;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, EditKeys, kEditKeysSubclass);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

DialogWindow::DialogWindow(dialogs::DialogForm& form, std::string_view className, HWND owner,
                           Size size)
    : form_(form), owner_(owner), size_(size) {
    DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (size.sizeable) {
        style |= WS_THICKFRAME;
    }
    const std::vector<WORD> design = EmptyTemplate(style, size.width, size.height);
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<const DLGTEMPLATE*>(design.data()), owner,
                               DialogProc, reinterpret_cast<LPARAM>(this));
    SetWindowName(window_, className);
    RECT client;
    GetClientRect(window_, &client);
    designedClient_ = {client.right, client.bottom};
    refreshers_.emplace_back([this] { ShowWindowText(window_, form_.Caption()); });
}

DialogWindow::~DialogWindow() {
    // The controls' last notifications find no dialog to act on.
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
    if (boldFont_ != nullptr) {
        DeleteObject(boldFont_);
    }
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<DialogWindow*>(lParam)->window_ = window;
        return FALSE;
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR DialogWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_CLOSE:
        End(mrCancel);
        return TRUE;
    case WM_DESTROY: // with its owner, as the program closes
        End(mrCancel);
        return FALSE;
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        const HDC dc = GetDC(window_);
        const HGDIOBJ old = SelectObject(dc, Font(false));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window_, dc);
        item->itemHeight = static_cast<UINT>(metrics.tmHeight + 2);
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        for (const auto& combo : combos_) {
            if (combo->Window() == item->hwndItem) {
                combo->Draw(*item);
                return TRUE;
            }
        }
        return FALSE;
    }
    case WM_SIZE:
        Layout();
        return TRUE;
    case WM_GETMINMAXINFO:
        if (size_.sizeable) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            const int dpi = ScreenDpi();
            limits->ptMinTrackSize = {MulDiv(size_.minWidth, dpi, 96),
                                      MulDiv(size_.minHeight, dpi, 96)};
        }
        return TRUE;
    default:
        return FALSE;
    }
}

HFONT DialogWindow::Font(bool bold) const {
    const auto normal = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    if (!bold) {
        return normal;
    }
    if (boldFont_ == nullptr) {
        LOGFONTW face;
        GetObjectW(normal, sizeof(face), &face);
        face.lfWeight = FW_BOLD;
        boldFont_ = CreateFontIndirectW(&face);
    }
    return boldFont_;
}

void DialogWindow::ShowBold(HWND control, bool bold) const {
    const HFONT font = Font(bold);
    if (reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) != font) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

HWND DialogWindow::Create(const wchar_t* windowClass, DWORD style, DluRect where, unsigned anchors,
                          const TControl* model) {
    RECT area{where.x, where.y, where.x + where.width, where.y + where.height};
    MapDialogRect(window_, &area);
    const DWORD edge =
        lstrcmpW(windowClass, WC_EDITW) == 0 ? static_cast<DWORD>(WS_EX_CLIENTEDGE) : 0;
    const HWND control =
        CreateWindowExW(edge, windowClass, L"", WS_CHILD | WS_VISIBLE | style, area.left, area.top,
                        area.right - area.left, area.bottom - area.top, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)),
                        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), FALSE);
    placed_.push_back({control, area, anchors});
    if (model != nullptr) {
        SetWindowName(control, model->Name());
        refreshers_.emplace_back([model, control] {
            EnableWindow(control, model->Enabled());
            ShowWindow(control, model->Visible() ? SW_SHOWNA : SW_HIDE);
        });
    }
    return control;
}

HWND DialogWindow::Label(TLabel& model, DluRect where, unsigned anchors, DWORD align) {
    const HWND label = Create(WC_STATICW, align | SS_NOPREFIX, where, anchors, &model);
    refreshers_.emplace_back([&model, label] { ShowWindowText(label, model.Caption()); });
    return label;
}

HWND DialogWindow::Edit(TEdit& model, DluRect where, unsigned anchors,
                        std::function<wchar_t(wchar_t)> keyFilter) {
    const HWND edit = Create(WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, where, anchors, &model);
    if (model.MaxLength() > 0) {
        SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(model.MaxLength()), 0);
    }
    auto& filter = keyFilters_.emplace_back(std::make_unique<KeyFilter>(std::move(keyFilter)));
    SetWindowSubclass(edit, EditKeys, kEditKeysSubclass, reinterpret_cast<DWORD_PTR>(filter.get()));
    OnCommand(edit, [&model, edit](WORD code) {
        if (code == EN_CHANGE) {
            model.SetText(WindowText(edit));
        }
    });
    refreshers_.emplace_back([this, &model, edit] {
        if (WindowText(edit) != model.Text()) {
            ShowWindowText(edit, model.Text());
            if (GetFocus() == edit) { // typing goes on at the end
                SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
            }
        }
        ShowBold(edit, model.Bold());
    });
    return edit;
}

HWND DialogWindow::CheckBox(TCheckBox& model, DluRect where, bool captionFirst) {
    DWORD style = BS_AUTOCHECKBOX | WS_TABSTOP;
    if (captionFirst) {
        style |= BS_LEFTTEXT | BS_RIGHTBUTTON;
    }
    const HWND box = Create(WC_BUTTONW, style, where, kFixed, &model);
    OnCommand(box, [&model, box](WORD code) {
        if (code == BN_CLICKED) {
            model.SetChecked(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
        }
    });
    refreshers_.emplace_back([&model, box] {
        ShowWindowText(box, model.Caption());
        SendMessageW(box, BM_SETCHECK, model.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    });
    return box;
}

HWND DialogWindow::Button(TButton& model, DluRect where, unsigned anchors,
                          std::function<void()> onClick) {
    const HWND button =
        Create(WC_BUTTONW, (model.IsDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
               where, anchors, &model);
    if (model.IsDefault()) {
        SendMessageW(window_, DM_SETDEFID, static_cast<WPARAM>(GetDlgCtrlID(button)), 0);
    }
    if (model.IsCancel()) {
        cancelButton_ = button;
    }
    clicks_[button] = [this, &model, onClick = std::move(onClick)] {
        if (onClick) {
            onClick();
            Refresh();
        }
        if (model.ModalResult() != mrNone) {
            End(model.ModalResult());
        }
    };
    OnCommand(button, [this, button](WORD code) {
        if (code == BN_CLICKED) {
            clicks_[button]();
        }
    });
    refreshers_.emplace_back([this, &model, button] {
        ShowWindowText(button, model.Caption());
        ShowBold(button, model.Bold());
    });
    return button;
}

HWND DialogWindow::ComboBox(dialogs::TComboBox& model, DluRect where, unsigned anchors,
                            bool dropOnTyping) {
    DWORD style = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    if (model.IsBlockList()) {
        style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    }
    where.height += kComboListHeight;
    const HWND combo = Create(WC_COMBOBOXW, style, where, anchors, &model);
    auto& bound = combos_.emplace_back(std::make_unique<BlockComboBox>(model, combo, dropOnTyping));
    OnCommand(combo, [view = bound.get()](WORD code) { view->Command(code); });
    refreshers_.emplace_back([view = bound.get()] { view->Refresh(); });
    return combo;
}

HWND DialogWindow::GroupBox(const TGroupBox& model, DluRect where, unsigned anchors) {
    const HWND group = Create(WC_BUTTONW, BS_GROUPBOX, where, anchors, &model);
    refreshers_.emplace_back([&model, group] { ShowWindowText(group, model.Caption()); });
    return group;
}

HWND DialogWindow::Memo(dialogs::TFramedMemo& model, DluRect where, unsigned anchors) {
    const HWND edit = Create(WC_EDITW,
                             ES_MULTILINE | ES_CENTER | ES_WANTRETURN | ES_AUTOHSCROLL |
                                 ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                             where, anchors, &model);
    SetWindowSubclass(edit, EditKeys, kEditKeysSubclass, 0);
    auto& bound = memos_.emplace_back(std::make_unique<FramedMemo>(model, edit));
    OnCommand(edit, [view = bound.get()](WORD code) { view->Command(code); });
    refreshers_.emplace_back([view = bound.get()] { view->Refresh(); });
    return edit;
}

void DialogWindow::OnCommand(HWND control, std::function<void(WORD code)> handler) {
    commands_[control] = std::move(handler);
}

void DialogWindow::Command(WORD id, WORD code, HWND control) {
    if (id == IDCANCEL && control == nullptr) { // Escape
        if (cancelButton_ != nullptr && IsWindowEnabled(cancelButton_)) {
            clicks_[cancelButton_]();
        }
        return;
    }
    const auto handler = commands_.find(control);
    if (refreshing_ || handler == commands_.end()) {
        return;
    }
    handler->second(code);
}

void DialogWindow::Refresh() {
    refreshing_ = true;
    for (const auto& refresh : refreshers_) {
        refresh();
    }
    refreshing_ = false;
}

void DialogWindow::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    const int grownX = client.right - designedClient_.cx;
    const int grownY = client.bottom - designedClient_.cy;
    for (const Placed& placed : placed_) {
        if (placed.anchors == kFixed) {
            continue;
        }
        RECT area = placed.start;
        if ((placed.anchors & kMoveRight) != 0) {
            OffsetRect(&area, grownX, 0);
        }
        if ((placed.anchors & kMoveDown) != 0) {
            OffsetRect(&area, 0, grownY);
        }
        if ((placed.anchors & kGrowRight) != 0) {
            area.right += grownX;
        }
        if ((placed.anchors & kGrowDown) != 0) {
            area.bottom += grownY;
        }
        MoveWindow(placed.control, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, FALSE);
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void DialogWindow::Centre() {
    RECT frame;
    GetWindowRect(window_, &frame);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    if (size_.sizeable) {
        const int dpi = ScreenDpi();
        width = std::max(width, MulDiv(size_.minWidth, dpi, 96));
        height = std::max(height, MulDiv(size_.minHeight, dpi, 96));
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(
        MonitorFromWindow(owner_ != nullptr ? owner_ : window_, MONITOR_DEFAULTTOPRIMARY),
        &monitor);
    const RECT& work = monitor.rcWork;
    // A dialog larger than the screen (a small screen at a high DPI) keeps its
    // caption on the screen, so it can still be moved.
    SetWindowPos(window_, nullptr,
                 std::max(work.left, work.left + (work.right - work.left - width) / 2),
                 std::max(work.top, work.top + (work.bottom - work.top - height) / 2), width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::End(TModalResult result) {
    if (!done_) { // the first close decides
        result_ = result;
        done_ = true;
    }
}

TModalResult DialogWindow::Run(HWND focus, bool selectText) {
    Refresh();
    Centre();
    const bool disableOwner = owner_ != nullptr && IsWindowEnabled(owner_);
    if (disableOwner) {
        EnableWindow(owner_, FALSE);
    }
    UseDialogKeys(window_);
    ShowWindow(window_, SW_SHOW);
    if (focus == nullptr) {
        focus = GetNextDlgTabItem(window_, nullptr, FALSE);
    }
    if (focus != nullptr) { // as Tab would: an edit's text is selected
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
        if (!selectText) {
            SendMessageW(focus, EM_SETSEL, 0, 0);
        }
    }
    while (!done_) {
        MSG message;
        const BOOL got = GetNextMessage(message);
        if (got <= 0) {
            if (got == 0) { // the program is quitting: the outer loop sees it too
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            break;
        }
        DispatchOne(message);
    }
    // The owner is enabled before the dialog hides, so it gets the activation back.
    if (disableOwner) {
        EnableWindow(owner_, TRUE);
    }
    ShowWindow(window_, SW_HIDE);
    return done_ && result_ == mrOk ? mrOk : mrCancel;
}

} // namespace velkor
