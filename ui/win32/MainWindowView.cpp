// The frame of the main window: tool bar, pages, splitter, traffic log, status
// bar, the discovery page, the window procedure and the binding helpers shared
// with the device page (DevicePage.cpp).
#include "ui/win32/MainWindowView.h"

#include "ui/main/CommandLine.h"
#include "ui/win32/ChildWindows.h"
#include "ui/win32/MessagePump.h"
#include "ui/win32/PopupMenu.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowNames.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace velkor {

namespace {

constexpr const wchar_t* kWindowClass = L"VelkorMainWindow";
constexpr const wchar_t* kIconName = L"VELKOR"; // the icon of Velkor.rc
constexpr UINT_PTR kRefreshTimer = 1;
// How long the views gather model changes before they show them: short enough
// to look immediate, long enough to batch a flood of answers.
constexpr UINT kRefreshMs = 30;
constexpr UINT kDeferredMessage = WM_APP + 20;
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// Sizes at 96 dots per inch.
constexpr int kWidth = 825;
constexpr int kHeight = 684;
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 492;
constexpr int kToolBarHeight = 41;
constexpr int kPagesHeight = 368;
constexpr int kPagesMinHeight = 350;
constexpr int kSplitterHeight = 4;
constexpr int kLogMinHeight = 50;
constexpr int kAboutWidth = 60;

COLORREF ToColorRef(TColour colour) {
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

void RegisterMainClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, kIconName);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass); // fails harmlessly once registered
}

BOOL CALLBACK SetFontOf(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

// The frame around a client area of the main window's style.
RECT FrameInsets(HWND window) {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    return frame;
}

} // namespace

MainWindowView::MainWindowView(TRFIDMainForm& form) : form_(form), pagesHeight96_(kPagesHeight) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterMainClass(WindowProc);
    window_ = CreateWindowExW(0, kWindowClass, L"RFID Reader Configurator",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              kWidth, kHeight, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetWindowName(window_, "TRFIDMainForm");
    dpi_ = WindowDpi(window_);
    binder_ = std::make_unique<WindowBinder>(
        form_.Changes, [this] { ScheduleRefresh(); }, [this] { Layout(); });
    updating_ = true;
    BuildFrame();
    updating_ = false;
    UseDialogKeys(window_);
    ApplyFonts(dpi_);
}

MainWindowView::~MainWindowView() {
    Detach();
    DestroyWindow(window_);
    for (const auto& [colour, brush] : brushes_) {
        DeleteObject(brush);
    }
}

void MainWindowView::Detach() {
    if (!attached_) {
        return;
    }
    attached_ = false;
    KillTimer(window_, kRefreshTimer);
    binder_->Detach();
    table_->Detach();
    log_->Detach();
}

std::wstring MainWindowView::StatusText() const {
    const auto length = LOWORD(SendMessageW(status_, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(status_, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void MainWindowView::Synchronize() {
    if (!attached_) {
        return;
    }
    updating_ = true;
    log_->Flush();
    table_->Flush();
    binder_->Flush();
    updating_ = false;
}

void MainWindowView::ScheduleRefresh() {
    if (!refreshQueued_) {
        refreshQueued_ = true;
        SetTimer(window_, kRefreshTimer, kRefreshMs, nullptr);
    }
}

void MainWindowView::Defer(std::function<void()> task) {
    deferred_.push_back(std::move(task));
    PostMessageW(window_, kDeferredMessage, 0, 0);
}

// ---- placing the window ----

void MainWindowView::Show() {
    const RECT insets = FrameInsets(window_);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window_, &placement);
    placement.showCmd = SW_SHOWNORMAL;
    RECT& place = placement.rcNormalPosition;
    const std::optional<WindowGeometry> remembered = form_.RememberedGeometry();
    if (remembered) {
        place = {remembered->Left + insets.left, remembered->Top + insets.top,
                 remembered->Left + remembered->Width + insets.right,
                 remembered->Top + remembered->Height + insets.bottom};
        if (remembered->Maximized) {
            placement.showCmd = SW_SHOWMAXIMIZED;
        }
    }
    // Centred on the screen the first time, and when the remembered place is
    // on a screen that is no longer there (its size is kept).
    if (!remembered || MonitorFromRect(&place, MONITOR_DEFAULTTONULL) == nullptr) {
        const int width = remembered ? place.right - place.left : Scale(kWidth, dpi_);
        const int height = remembered ? place.bottom - place.top : Scale(kHeight, dpi_);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        const int left = static_cast<int>(work.left) +
                         std::max(0, static_cast<int>(work.right - work.left) - width) / 2;
        const int top = static_cast<int>(work.top) +
                        std::max(0, static_cast<int>(work.bottom - work.top) - height) / 2;
        place = {left, top, left + width, top + height};
    }
    SetWindowPlacement(window_, &placement);
    Layout();
}

void MainWindowView::RememberPlace() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window_, &placement);
    const RECT insets = FrameInsets(window_);
    const RECT& place = placement.rcNormalPosition;
    form_.RememberGeometry({place.left - insets.left, place.top - insets.top,
                            (place.right - insets.right) - (place.left - insets.left),
                            (place.bottom - insets.bottom) - (place.top - insets.top),
                            IsZoomed(window_) != FALSE});
}

// ---- binding helpers ----

HWND MainWindowView::Control(HWND parent, const wchar_t* kind, DWORD style, DWORD exStyle,
                             Command onCommand) {
    const int id = nextId_++;
    if (onCommand) {
        commands_[id] = std::move(onCommand);
    }
    const HWND control = CreateWindowExW(
        exStyle, kind, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    return control;
}

HWND MainWindowView::Button(HWND parent, TControl& model, std::function<void()> onClick) {
    const HWND button = Control(parent, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0,
                                [onClick = std::move(onClick)](int code, HWND) {
                                    if (code == BN_CLICKED) {
                                        onClick();
                                    }
                                });
    binder_->Bind(model, button, [&model, button] { ShowWindowText(button, model.Caption()); });
    return button;
}

HWND MainWindowView::Label(HWND parent, TControl& model, DWORD align) {
    const HWND label = Control(parent, L"STATIC", align | SS_NOPREFIX | SS_CENTERIMAGE);
    binder_->Bind(model, label, [&model, label] { ShowWindowText(label, model.Caption()); });
    return label;
}

HWND MainWindowView::CheckBox(HWND parent, TCheckBox& model, std::function<void()> onChange) {
    const HWND box =
        Control(parent, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                [&model, onChange = std::move(onChange)](int code, HWND control) {
                    if (code != BN_CLICKED) {
                        return;
                    }
                    model.SetChecked(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
                    if (onChange) {
                        onChange();
                    }
                });
    binder_->Bind(model, box, [&model, box] {
        ShowWindowText(box, model.Caption());
        SendMessageW(box, BM_SETCHECK, model.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    });
    return box;
}

HWND MainWindowView::Edit(HWND parent, TEdit& model, std::function<void()> onChange) {
    const HWND edit = Control(parent, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                              [&model, onChange = std::move(onChange)](int code, HWND control) {
                                  if (code == EN_CHANGE) {
                                      model.SetText(WindowText(control));
                                      onChange();
                                  }
                              });
    binder_->Bind(model, edit, [&model, edit] { ShowWindowText(edit, model.Text()); });
    return edit;
}

HWND MainWindowView::ComboBox(HWND parent, TComboBox& model, bool editable,
                              std::function<void()> onChange) {
    const DWORD kind = editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
    const HWND combo = Control(
        parent, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | kind, 0,
        [&model, onChange = std::move(onChange)](int code, HWND control) {
            if (code == CBN_SELCHANGE) {
                model.SetItemIndex(static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
                if (onChange) {
                    onChange();
                }
            } else if (code == CBN_EDITCHANGE) {
                model.SetText(WindowText(control));
            }
        });
    backgrounds_[combo] = &model;
    binder_->Bind(model, combo, [&model, combo, editable] {
        const auto count = static_cast<size_t>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        bool same = count == model.Items().size();
        for (size_t item = 0; same && item < count; ++item) {
            std::wstring text(
                static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, item, 0)) + 1, L'\0');
            text.resize(static_cast<size_t>(
                SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()))));
            same = text == Wide(model.Items()[item]);
        }
        if (!same) {
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : model.Items()) {
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
            }
        }
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(model.ItemIndex()), 0);
        if (editable) {
            ShowWindowText(combo, model.Text());
        }
        InvalidateRect(combo, nullptr, TRUE); // its colour may have changed
    });
    return combo;
}

HWND MainWindowView::TrackBar(HWND parent, TTrackBar& model) {
    const HWND bar = Control(parent, TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_NOTICKS);
    SendMessageW(bar, TBM_SETRANGEMIN, FALSE, model.Min());
    SendMessageW(bar, TBM_SETRANGEMAX, FALSE, model.Max());
    trackBars_[bar] = &model;
    binder_->Bind(model, bar,
                  [&model, bar] { SendMessageW(bar, TBM_SETPOS, TRUE, model.Position()); });
    return bar;
}

HWND MainWindowView::Lamp(HWND parent, TControl& model, int lamp) {
    const int id = nextId_++;
    commands_[id] = [this, lamp](int code, HWND) {
        if (code == STN_CLICKED) {
            form_.shInputMouseUp(lamp);
        }
    };
    const HWND window = CreateLamp(parent, id);
    binder_->Bind(model, window, [&model, window] {
        if (model.Colour() < kSystemColour) {
            SetLampColour(window, ToColorRef(model.Colour()));
        }
    });
    return window;
}

void MainWindowView::OnContextMenu(HWND control, std::function<void()> onPopup) {
    contextMenus_[control] = std::move(onPopup);
}

// ---- frame ----

void MainWindowView::BuildFrame() {
    toolBar_ = CreatePanel(window_, WS_EX_STATICEDGE);
    binder_->Bind(form_.pnToolBar, toolBar_);
    disconnect_ = Button(toolBar_, form_.btnDisconnect, [this] { form_.btnDisconnectClick(); });

    BuildDiscoveryPage();
    BuildDevicePage();
    binder_->Bind(form_.tsMain, nullptr);
    binder_->Bind(form_.tsDevice, nullptr);
    binder_->Bind(form_.pcMain, nullptr, [this] {
        // The tab headers are hidden from start-up on: one page shows at a time.
        const bool device = form_.pcMain.ActivePage() == &form_.tsDevice;
        ShowWindow(devicePage_, device ? SW_SHOWNA : SW_HIDE);
        ShowWindow(discoveryPage_, device ? SW_HIDE : SW_SHOWNA);
    });
    BuildLog();

    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                              0, 0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    binder_->Bind(form_.sbMain, status_, [this] {
        if (!form_.sbMain.Caption().empty()) {
            SetStatusText(Wide(form_.sbMain.Caption()));
        }
    });
}

void MainWindowView::BuildDiscoveryPage() {
    discoveryPage_ = CreatePanel(window_);
    SetWindowName(discoveryPage_, form_.tsMain.Name());
    const HWND page = discoveryPage_;
    scanRow_ = {{Button(page, form_.btnScan, [this] { form_.btnScanClick(); }), 0, true}};
    choicesRow_ = {
        {Label(page, form_.labInterface)},
        {ComboBox(page, form_.cbInterface, false, [this] { form_.cbInterfaceChange(); }), 0, true},
        {Label(page, form_.labFilter), 0, false, 6},
        {Edit(page, form_.edFilter, [this] { form_.edFilterChange(); }), 0, true},
    };
    table_ = std::make_unique<DeviceTableView>(
        form_, page, [this] { ScheduleRefresh(); },
        [this](std::function<void()> task) { Defer(std::move(task)); });
    binder_->Bind(form_.lbDeviceList, table_->Window(), [this] { table_->Flush(); });
    OnContextMenu(table_->Window(), [this] { form_.lbDeviceListContextPopup(); });

    auto sideButton = [this, page](TControl& model, void (TRFIDMainForm::*click)()) {
        return LayoutRow{{Button(page, model, [this, click] { (form_.*click)(); }), 0, true}};
    };
    sideRows_ = {
        {{Label(page, form_.Label1)},
         {ComboBox(page, form_.cbUDPFlag, false, [this] { form_.cbUDPFlagChange(); }), 0, true}},
        sideButton(form_.btnNetCfgGet, &TRFIDMainForm::btnNetCfgGetClick),
        sideButton(form_.btnNetCfgSet, &TRFIDMainForm::btnNetCfgSetClick),
        sideButton(form_.btnNetRestart, &TRFIDMainForm::btnNetRestartClick),
        sideButton(form_.btnDirectConnect, &TRFIDMainForm::btnDirectConnectClick),
        sideButton(form_.bntResetAll, &TRFIDMainForm::bntResetAllClick),
        {{CheckBox(page, form_.CheckBox1)}},
        sideButton(form_.btnLlistReq, &TRFIDMainForm::btnLlistReqClick),
    };
    export_ = Button(page, form_.btnExport, [this] { form_.btnExportClick(); });
}

void MainWindowView::BuildLog() {
    logOptions_ = {
        {CheckBox(window_, form_.cbLogTimestamps, [this] { form_.cbLogOptionsChange(); })},
        {CheckBox(window_, form_.cbLogSent, [this] { form_.cbLogOptionsChange(); })},
    };
    saveLog_ = Button(window_, form_.btnSaveLog, [this] { form_.btnSaveLogClick(); });
    log_ = std::make_unique<TrafficLogView>(form_.memLog, window_, [this] { ScheduleRefresh(); });
}

// ---- layout ----

void MainWindowView::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right;
    const RowLayout layout(font_.Handle(), dpi_);
    const int m = layout.Margin();
    const int ch = layout.ControlHeight();

    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT statusPlace;
    GetWindowRect(status_, &statusPlace);
    const int statusHeight = statusPlace.bottom - statusPlace.top;
    const int parts[] = {std::max(0, width - layout.Px(kAboutWidth)), -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"About"));

    int top = 0;
    if (IsShown(toolBar_)) {
        const int height = layout.Px(kToolBarHeight);
        PlaceWindow(toolBar_, 0, 0, width, height);
        PlaceWindow(disconnect_, m, (height - ch) / 2 - 1, layout.NaturalWidth(disconnect_), ch);
        top = height;
    }
    const int bottom = client.bottom - statusHeight;
    const int logArea = ch + 2 * layout.Gap() + layout.Px(kLogMinHeight);
    const int pagesHeight = std::max(
        layout.Px(kPagesMinHeight),
        std::min(layout.Px(pagesHeight96_), bottom - top - layout.Px(kSplitterHeight) - logArea));
    pagesTop_ = top;
    for (const HWND page : {discoveryPage_, devicePage_}) {
        PlaceWindow(page, 0, top, width, pagesHeight);
    }
    LayoutDiscoveryPage(width, pagesHeight);
    LayoutDevicePage(width, pagesHeight);

    const int splitterTop = top + pagesHeight;
    const int optionsTop = splitterTop + layout.Px(kSplitterHeight) + layout.Gap();
    splitter_ = {0, splitterTop, width, optionsTop - layout.Gap()};
    layout.Place(logOptions_, m, optionsTop, width - m);
    const int saveWidth = layout.NaturalWidth(saveLog_);
    PlaceWindow(saveLog_, width - m - saveWidth, optionsTop, saveWidth, ch);
    const int y = optionsTop + ch + layout.Gap();
    PlaceWindow(log_->Window(), 0, y, width, std::max(0, bottom - y));
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindowView::LayoutDiscoveryPage(int width, int height) {
    const RowLayout layout(font_.Handle(), dpi_);
    const int m = layout.Margin();
    const int ch = layout.ControlHeight();
    int sideWidth = layout.NaturalWidth(export_);
    for (const LayoutRow& row : sideRows_) {
        sideWidth = std::max(sideWidth, layout.RowWidth(row));
    }
    const int sideLeft = width - m - sideWidth;
    const int listRight = sideLeft - m;
    int y = layout.Place(scanRow_, m, m, listRight);
    y = layout.Place(choicesRow_, m, y, listRight);
    PlaceWindow(table_->Window(), m, y, std::max(0, listRight - m), std::max(0, height - m - y));
    int sideY = m;
    for (const LayoutRow& row : sideRows_) {
        sideY = layout.Place(row, sideLeft, sideY, width - m);
    }
    PlaceWindow(export_, sideLeft, height - m - ch, sideWidth, ch);
}

void MainWindowView::ApplyFonts(UINT dpi) {
    dpi_ = dpi;
    font_ = MakeWindowFont(dpi);
    logFont_ = MakeLogFont(dpi);
    uidFont_ = MakeWindowFont(dpi, 8, true);
    numberFont_ = MakeWindowFont(dpi, 32, true);
    EnumChildWindows(window_, SetFontOf, reinterpret_cast<LPARAM>(font_.Handle()));
    SendMessageW(log_->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(logFont_.Handle()), FALSE);
    SendMessageW(card_.uid, WM_SETFONT, reinterpret_cast<WPARAM>(uidFont_.Handle()), FALSE);
    for (const HWND number : {card_.cabinet, card_.cell}) {
        SendMessageW(number, WM_SETFONT, reinterpret_cast<WPARAM>(numberFont_.Handle()), FALSE);
    }
    Layout();
    InvalidateRect(window_, nullptr, TRUE);
}

// ---- status bar, About, colours ----

void MainWindowView::SetStatusText(const std::wstring& text) {
    if (text != hint_) {
        hint_ = text;
        SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(hint_.c_str()));
    }
}

void MainWindowView::ShowHintOf(HWND control) {
    const TControl* model = binder_->ModelOf(control);
    if (model == nullptr && control != nullptr) {
        model = binder_->ModelOf(GetParent(control)); // the edit box inside a combo box
    }
    SetStatusText(model != nullptr ? Wide(model->Hint()) : std::wstring());
}

void MainWindowView::ShowAbout() {
    MessageBoxW(window_, Wide(AboutText()).c_str(), L"About Velkor", MB_OK | MB_ICONINFORMATION);
}

HBRUSH MainWindowView::Brush(COLORREF colour) {
    HBRUSH& brush = brushes_[colour];
    if (brush == nullptr) {
        brush = CreateSolidBrush(colour);
    }
    return brush;
}

LRESULT MainWindowView::ColourControl(HWND control, HDC dc) {
    for (const HWND candidate : {control, GetParent(control)}) {
        if (const auto text = textColours_.find(candidate); text != textColours_.end()) {
            SetTextColor(dc, text->second);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        if (const auto back = backgrounds_.find(candidate); back != backgrounds_.end()) {
            const TColour colour = back->second->Colour();
            if (colour >= kSystemColour) {
                return 0;
            }
            SetBkColor(dc, ToColorRef(colour));
            return reinterpret_cast<LRESULT>(Brush(ToColorRef(colour)));
        }
    }
    return 0;
}

// ---- window procedure ----

LRESULT CALLBACK MainWindowView::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindowView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ == nullptr || !self->attached_) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT MainWindowView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const auto found = commands_.find(LOWORD(wParam));
        if (found != commands_.end() && !updating_) {
            const auto handler = found->second; // the handler may rebuild the window's state
            handler(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        }
        return 0;
    }
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        if (table_->Notify(header, result)) {
            return result;
        }
        if (header.hwndFrom == status_ && header.code == NM_CLICK &&
            reinterpret_cast<const NMMOUSE&>(header).dwItemSpec == 1) {
            ShowAbout();
        }
        return 0;
    }
    case WM_HSCROLL:
        if (const auto bar = trackBars_.find(reinterpret_cast<HWND>(lParam));
            bar != trackBars_.end()) {
            bar->second->SetPosition(static_cast<int>(SendMessageW(bar->first, TBM_GETPOS, 0, 0)));
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (const LRESULT brush =
                ColourControl(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
            return brush;
        }
        break;
    case WM_CONTEXTMENU:
        if (const auto popup = contextMenus_.find(reinterpret_cast<HWND>(wParam));
            popup != contextMenus_.end()) {
            const auto handler = popup->second;
            handler();
            return 0;
        }
        break;
    case WM_SETCURSOR: {
        const auto over = reinterpret_cast<HWND>(wParam);
        if (over != window_) {
            ShowHintOf(over);
            return FALSE; // the control keeps its own cursor
        }
        SetStatusText({});
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(window_, &at);
        if (PtInRect(&splitter_, at)) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENS)));
            return TRUE;
        }
        break;
    }
    case WM_MENUSELECT:
        SetStatusText(MenuSelectHint(wParam, lParam));
        return 0;
    case WM_EXITMENULOOP:
        SetStatusText({});
        return 0;
    case WM_LBUTTONDOWN: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (PtInRect(&splitter_, at)) {
            StartDrag(at.y);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_) {
            const int wanted = GET_Y_LPARAM(lParam) - dragOffset_ - pagesTop_;
            pagesHeight96_ = MulDiv(wanted, 96, static_cast<int>(dpi_));
            Layout();
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            ReleaseCapture();
            // Kept as far as the window let the pages grow.
            RECT page;
            GetWindowRect(discoveryPage_, &page);
            pagesHeight96_ = MulDiv(page.bottom - page.top, 96, static_cast<int>(dpi_));
        }
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {Scale(kMinWidth, dpi_), Scale(kMinHeight, dpi_)};
        return 0;
    }
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ApplyFonts(HIWORD(wParam));
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kRefreshTimer) {
            KillTimer(window_, kRefreshTimer);
            refreshQueued_ = false;
            Synchronize();
            return 0;
        }
        break;
    case kDeferredMessage: {
        std::vector<std::function<void()>> tasks;
        tasks.swap(deferred_);
        for (const auto& task : tasks) {
            task();
        }
        return 0;
    }
    case WM_HELP:
        ShowAbout();
        return TRUE;
    case WM_CLOSE:
        RememberPlace();
        ShowWindow(window_, SW_HIDE);
        if (closed_) {
            closed_();
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindowView::StartDrag(int y) {
    dragging_ = true;
    dragOffset_ = y - splitter_.top;
    SetCapture(window_);
}

} // namespace velkor
