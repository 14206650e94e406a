// The frame of the main window: creation, tool bar, pages, splitter, traffic
// log, status bar, the discovery page, the layout and the window's place. The
// binding helpers are in MainWindowControls.cpp, the window procedure in
// MainWindowMessages.cpp, the device page in DevicePage.cpp.
#include "ui/win32/MainWindowView.h"

#include "ui/win32/ChildWindows.h"
#include "ui/win32/MessagePump.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowNames.h"

#include <commctrl.h>

#include <algorithm>

namespace velkor {

namespace {

constexpr const wchar_t* kWindowClass = L"VelkorMainWindow";
constexpr const wchar_t* kIconName = L"VELKOR"; // the icon of Velkor.rc
// How long the views gather model changes before they show them: short enough
// to look immediate, long enough to batch a flood of answers.
constexpr UINT kRefreshMs = 30;

// Sizes at 96 dots per inch.
constexpr int kWidth = 825;
constexpr int kHeight = 684;
constexpr int kToolBarHeight = 41;
constexpr int kPagesHeight = 368;
constexpr int kPagesMinHeight = 350;
constexpr int kSplitterHeight = 4;
constexpr int kLogMinHeight = 50;
constexpr int kAboutWidth = 60;

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
    tips_ = std::make_unique<HintToolTips>(window_);
    binder_->SetToolTips(tips_.get());
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
    const DWORD start = GetTickCount();
    updating_ = true;
    log_->Flush();
    table_->Flush();
    binder_->Flush();
    updating_ = false;
    lastRefreshMs_ = GetTickCount() - start;
}

void MainWindowView::ScheduleRefresh() {
    if (!refreshQueued_) {
        refreshQueued_ = true;
        // A refresh that took long (thousands of rows under a slow system)
        // waits twice as long before the next, so the window keeps at least
        // two thirds of its time for the user and the reader's events.
        SetTimer(window_, kRefreshTimer, std::max<UINT>(kRefreshMs, 2 * lastRefreshMs_), nullptr);
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

} // namespace velkor
