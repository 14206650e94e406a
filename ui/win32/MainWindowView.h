// The configurator's main window on Win32: the tool bar, the two pages (tab
// headers hidden: one shows at a time), the splitter, the traffic log and the
// status bar with the hint of the control under the mouse and the About
// entry. Every window mirrors a control model of TRFIDMainForm and forwards
// the user's clicks, choices and key states to the form's handlers.
#pragma once

#include "ui/main/URfidForm.h"
#include "ui/win32/DeviceTableView.h"
#include "ui/win32/HintToolTips.h"
#include "ui/win32/RowLayout.h"
#include "ui/win32/TrafficLogView.h"
#include "ui/win32/UiFonts.h"
#include "ui/win32/WindowBinder.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace velkor {

class MainWindowView {
public:
    explicit MainWindowView(TRFIDMainForm& form);
    ~MainWindowView();
    MainWindowView(const MainWindowView&) = delete;
    MainWindowView& operator=(const MainWindowView&) = delete;

    HWND Window() const { return window_; }
    HWND WindowOf(const TControl* model) const { return binder_->WindowOf(model); }
    HWND StatusBar() const { return status_; }
    HWND ToolTips() const { return tips_->Window(); }
    DeviceTableView& DeviceList() { return *table_; }
    TrafficLogView& Log() { return *log_; }
    // The text the status bar shows in its hint part.
    std::wstring StatusText() const;

    // Brings every window up to date with its model now.
    void Synchronize();
    // Shows the window where the user left it last time, else centred on the
    // screen.
    void Show();
    // Runs when the user closes the window (after its place was remembered).
    void SetClosedHandler(std::function<void()> closed) { closed_ = std::move(closed); }
    // Stops following the models; call before the form goes away.
    void Detach();

private:
    static constexpr UINT_PTR kRefreshTimer = 1;
    static constexpr UINT kDeferredMessage = WM_APP + 20;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void BuildFrame();
    void BuildDiscoveryPage();
    void BuildDevicePage();
    void BuildDeviceRows(HWND panel);
    void BuildCardPanel(HWND parent);
    void BuildLog();

    // Windows bound to their models; the handler runs on a click or change.
    using Command = std::function<void(int code, HWND control)>;
    HWND Control(HWND parent, const wchar_t* kind, DWORD style, DWORD exStyle = 0,
                 Command onCommand = {});
    HWND Button(HWND parent, TControl& model, std::function<void()> onClick);
    HWND Label(HWND parent, TControl& model, DWORD align = SS_LEFT);
    HWND CheckBox(HWND parent, TCheckBox& model, std::function<void()> onChange = {});
    HWND Edit(HWND parent, TEdit& model, std::function<void()> onChange);
    HWND ComboBox(HWND parent, TComboBox& model, bool editable,
                  std::function<void()> onChange = {});
    HWND TrackBar(HWND parent, TTrackBar& model);
    HWND Lamp(HWND parent, TControl& model, int lamp);
    // A right click on `control` runs `onPopup`.
    void OnContextMenu(HWND control, std::function<void()> onPopup);

    void Layout();
    void LayoutDiscoveryPage(int width, int height);
    void LayoutDevicePage(int width, int height);
    void LayoutCardPanel(int width, int height);
    void ApplyFonts(UINT dpi);

    void ScheduleRefresh();
    // Runs `task` once the current message has been handled.
    void Defer(std::function<void()> task);
    void ShowHintOf(HWND control);
    void SetStatusText(const std::wstring& text);
    void ShowAbout();
    void RememberPlace();
    LRESULT ColourControl(HWND control, HDC dc);
    HBRUSH Brush(COLORREF colour);
    void StartDrag(int y);

    TRFIDMainForm& form_;
    HWND window_ = nullptr;
    UINT dpi_ = 96;
    UiFont font_;
    UiFont logFont_;
    UiFont uidFont_;
    UiFont numberFont_;
    std::unique_ptr<HintToolTips> tips_;
    std::unique_ptr<WindowBinder> binder_;
    std::unique_ptr<DeviceTableView> table_;
    std::unique_ptr<TrafficLogView> log_;

    HWND toolBar_ = nullptr;
    HWND disconnect_ = nullptr;
    HWND discoveryPage_ = nullptr;
    HWND devicePage_ = nullptr;
    HWND connecting_ = nullptr;
    HWND deviceControls_ = nullptr;
    HWND cardPanel_ = nullptr;
    HWND status_ = nullptr;
    HWND saveLog_ = nullptr;
    HWND export_ = nullptr;
    LayoutRow scanRow_;
    LayoutRow choicesRow_;
    std::vector<LayoutRow> sideRows_;
    std::vector<LayoutRow> deviceRows_;
    LayoutRow logOptions_;
    struct CardWindows {
        HWND uid, cabinetHeading, cellHeading, cabinet, cell, writeCabinet, writeCell;
    } card_{};

    std::unordered_map<int, Command> commands_;
    std::unordered_map<HWND, std::function<void()>> contextMenus_;
    std::unordered_map<HWND, TTrackBar*> trackBars_;
    std::unordered_map<HWND, COLORREF> textColours_;
    std::unordered_map<HWND, const TControl*> backgrounds_;
    std::map<COLORREF, HBRUSH> brushes_;
    std::vector<std::function<void()>> deferred_;
    std::function<void()> closed_;
    std::wstring hint_;
    RECT splitter_{};
    int nextId_ = 1000;
    int pagesHeight96_;       // the pages' height at 96 dots per inch, moved by the splitter
    DWORD lastRefreshMs_ = 0; // how long the last refresh took
    int pagesTop_ = 0;
    int dragOffset_ = 0;
    bool dragging_ = false;
    bool refreshQueued_ = false;
    bool updating_ = false; // windows are being set from their models
    bool attached_ = true;
};

} // namespace velkor
