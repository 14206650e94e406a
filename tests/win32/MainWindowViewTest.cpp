// The Win32 main window driven by window messages, as a user's clicks and keys
// arrive: the traffic log, the device table, the status-bar hints, popup menus
// with their hints, the Ctrl-held click, the "Warning!" box, the About box and
// the remembered place of the window.
#include "ui/win32/MainWindowView.h"
#include "tests/DeviceAnswer.h"
#include "tests/win32/WhenShown.h"
#include "ui/main/URfidForm.h"
#include "ui/win32/Configurator.h"
#include "ui/win32/IniSettingsStore.h"
#include "ui/win32/UiFonts.h"
#include "ui/win32/Win32MainThread.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowNames.h"
#include "version/ProjectVersion.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace velkor {

using namespace std::chrono_literals;

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    DeleteFileW(path.c_str());
    return path;
}

// A configurator aimed at loopback whose settings live in an ini file of its own.
struct App {
    explicit App(const std::wstring& settings)
        : app(Options(), std::make_unique<IniSettingsStore>(settings)) {
        EXPECT_TRUE(app.Start());
    }
    static VelkorOptions Options() {
        VelkorOptions options;
        options.BroadcastAddress = "127.255.255.255";
        return options;
    }
    HWND Named(const char* name) { return FindNamedChild(app.Window().Window(), name); }
    // Handles messages until `done` holds or two seconds have passed.
    bool Until(const std::function<bool()>& done) {
        for (int slice = 0; slice < 200 && !done(); ++slice) {
            app.MainThread().ProcessMessagesFor(10ms);
        }
        return done();
    }
    void Sync() { app.Window().Synchronize(); }
    Configurator app;
};

std::wstring Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<std::wstring> Lines(HWND edit) {
    std::vector<std::wstring> lines;
    const std::wstring text = Text(edit);
    for (size_t start = 0;;) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) {
            return lines;
        }
        start = end + 2;
    }
}

// The IP column of each row of the table.
std::vector<std::wstring> Rows(HWND table) {
    std::vector<std::wstring> rows;
    for (int row = 0; row < ListView_GetItemCount(table); ++row) {
        wchar_t cell[64] = {};
        ListView_GetItemText(table, row, 1, cell, 64);
        rows.emplace_back(cell);
    }
    return rows;
}

void HoldCtrl(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    keys[VK_LCONTROL] = keys[VK_CONTROL];
    SetKeyboardState(keys);
}

void PostKey(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 0);
    PostMessageW(window, WM_KEYUP, key, 0xC0000000);
}

size_t Count(const std::vector<std::wstring>& lines, const std::wstring& part) {
    size_t count = 0;
    for (const std::wstring& line : lines) {
        count += line.find(part) != std::wstring::npos ? 1 : 0;
    }
    return count;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

} // namespace

TEST(Win32MainWindow, LogTableAndHintsFollowTheModelsAndTheUsersKeys) {
    App rig(TempFile(L"velkor-view-log.ini"));
    TRFIDMainForm& form = rig.app.Form();
    const HWND window = rig.app.Window().Window();
    EXPECT_EQ(Text(window), L"RFID Reader Configurator");

    // Opens centred on the screen the first time.
    RECT place;
    GetWindowRect(window, &place);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(place.left + place.right, monitor.rcWork.left + monitor.rcWork.right, 2);
    EXPECT_NEAR(place.top + place.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 2);

    // The log keeps the newest 100 lines, scrolled to the bottom, in a font of fixed pitch.
    const HWND log = rig.Named("memLog");
    ASSERT_NE(log, nullptr);
    for (int n = 1; n <= 150; ++n) {
        form.AddLog("line " + std::to_string(n));
    }
    form.AddLog("\xC4\xEE\xF1\xF2\xF3\xEF"); // Windows-1251 bytes
    EXPECT_TRUE(rig.Until([&] { return Lines(log).size() == 100; }));
    EXPECT_EQ(Lines(log).front(), L"line 52");
    EXPECT_EQ(Lines(log).back(), L"Доступ");
    SCROLLINFO scroll{sizeof scroll, SIF_ALL};
    GetScrollInfo(log, SB_VERT, &scroll);
    EXPECT_GE(scroll.nPos + static_cast<int>(scroll.nPage), scroll.nMax);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(log, WM_GETFONT, 0, 0));
    EXPECT_TRUE(IsFixedPitch(font));
    const HDC dc = GetDC(log);
    SelectObject(dc, font);
    SIZE wide{};
    SIZE narrow{};
    GetTextExtentPoint32W(dc, L"WWЖЖ", 4, &wide);
    GetTextExtentPoint32W(dc, L"iiii", 4, &narrow);
    ReleaseDC(log, dc);
    EXPECT_EQ(wide.cx, narrow.cx);

    // Ctrl+A selects everything; A without Ctrl types into the log.
    HoldCtrl(true);
    SendMessageW(log, WM_KEYDOWN, 'A', 0);
    SendMessageW(log, WM_CHAR, 1, 0);
    HoldCtrl(false);
    DWORD from = 1;
    DWORD to = 0;
    SendMessageW(log, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, static_cast<DWORD>(GetWindowTextLengthW(log)));
    SendMessageW(log, EM_SETSEL, to, to);
    SendMessageW(log, WM_CHAR, 'a', 0);
    EXPECT_EQ(Lines(log).back(), L"Доступa");

    // The table: address order by default, a header click sorts by the column.
    for (const auto& answer :
         {DeviceAt(10, 0, 0, 7), DeviceAt(192, 168, 0, 5), DeviceAt(1, 2, 3, 4)}) {
        form.ReaderDevice(answer);
    }
    const HWND table = rig.Named("lbDeviceList");
    EXPECT_TRUE(rig.Until([&] { return ListView_GetItemCount(table) == 3; }));
    EXPECT_EQ(Rows(table), (std::vector<std::wstring>{L"1.2.3.4", L"192.168.0.5", L"10.0.0.7"}));
    EXPECT_EQ(Text(rig.Named("btnScan")), L"Scan (3)");
    const HWND header = ListView_GetHeader(table);
    RECT column;
    Header_GetItemRect(header, 1, &column);
    const LPARAM at =
        MAKELPARAM((column.left + column.right) / 2, (column.top + column.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(rig.Until([&] {
        return Rows(table) == std::vector<std::wstring>{L"1.2.3.4", L"10.0.0.7", L"192.168.0.5"};
    }));
    HDITEMW sorted{};
    sorted.mask = HDI_FORMAT;
    Header_GetItem(header, 1, &sorted);
    EXPECT_NE(sorted.fmt & HDF_SORTUP, 0);

    // A width the user gave a column stays when rows arrive.
    ListView_SetColumnWidth(table, 1, 44);
    form.ReaderDevice(DeviceAt(10, 9, 9, 9));
    EXPECT_TRUE(rig.Until([&] { return ListView_GetItemCount(table) == 4; }));
    EXPECT_EQ(ListView_GetColumnWidth(table, 1), 44);

    // Typing into the filter narrows the rows.
    const HWND filter = rig.Named("edFilter");
    for (const wchar_t c : std::wstring(L"10.0")) {
        SendMessageW(filter, WM_CHAR, c, 0);
    }
    EXPECT_TRUE(rig.Until([&] { return Rows(table) == std::vector<std::wstring>{L"10.0.0.7"}; }));
    SetWindowTextW(filter, L"");
    EXPECT_TRUE(rig.Until([&] { return ListView_GetItemCount(table) == 4; }));

    // Choosing a row selects its entry; Ctrl+C copies every selected row.
    ListView_SetItemState(table, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_NE(form.lbDeviceList.Selected(), nullptr);
    EXPECT_EQ(form.lbDeviceList.Selected()->Caps.IPText, "10.0.0.7");
    ListView_SetItemState(table, 3, LVIS_SELECTED, LVIS_SELECTED);
    HoldCtrl(true);
    SendMessageW(table, WM_KEYDOWN, 'C', 0);
    HoldCtrl(false);
    const std::wstring copied = ClipboardText();
    EXPECT_EQ(Count({copied}, L"\r\n"), 1u);
    EXPECT_NE(copied.find(L"\t10.0.0.7\t"), std::wstring::npos) << copied;
    EXPECT_NE(copied.find(L"\t192.168.0.5\t"), std::wstring::npos);
    EXPECT_EQ(copied.find(L"\t1.2.3.4\t"), std::wstring::npos);
    EXPECT_EQ(copied.find(L"\t10.9.9.9\t"), std::wstring::npos);

    // The status bar shows the hint of the control under the mouse.
    MainWindowView& view = rig.app.Window();
    const auto hover = [](HWND control) {
        SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    hover(rig.Named("trbVolume"));
    EXPECT_EQ(view.StatusText(), L"Sound Volume");
    hover(rig.Named("btnBeep")); // a control without a hint
    EXPECT_EQ(view.StatusText(), L"");

    // The hint is the control's tooltip too; a control without one has none.
    const auto tooltip = [&view](HWND control) {
        wchar_t text[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = view.Window();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text;
        const bool has = SendMessageW(view.ToolTips(), TTM_GETTOOLINFOW, 0,
                                      reinterpret_cast<LPARAM>(&tool)) != 0;
        SendMessageW(view.ToolTips(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        return has ? std::wstring(text) : std::wstring(L"(none)");
    };
    EXPECT_EQ(tooltip(rig.Named("trbVolume")), L"Sound Volume");
    EXPECT_EQ(tooltip(rig.Named("btnBeep")), L"(none)");
}

TEST(Win32MainWindow, MenusBoxesAndCtrlClicksAndTheWindowRemembersItsPlace) {
    const std::wstring settings = TempFile(L"velkor-view-menus.ini");
    {
        App rig(settings);
        TRFIDMainForm& form = rig.app.Form();
        MainWindowView& view = rig.app.Window();
        Win32MainThread& mainThread = rig.app.MainThread();
        const HWND window = view.Window();
        const HWND log = rig.Named("memLog");
        SendMessageW(rig.Named("cbLogSent"), BM_CLICK, 0, 0);
        ASSERT_TRUE(form.cbLogSent.Checked());
        const auto sentLines = [&] {
            rig.Sync();
            return Count(Lines(log), L"sent udp 127.255.255.255");
        };

        // "Reset All" asks first, with No as the answer taken by default.
        bool defaultIsNo = false;
        {
            WhenShown answer(WindowOfClass(L"#32770", L"Warning!"), [&](HWND box) {
                // No has the focus and the default frame, so Enter or Space answer No.
                const HWND no = GetDlgItem(box, IDNO);
                defaultIsNo = GetFocus() == no &&
                              (GetWindowLongW(no, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
                SendMessageW(GetFocus(), BM_CLICK, 0, 0);
            });
            SendMessageW(rig.Named("bntResetAll"), BM_CLICK, 0, 0);
        }
        EXPECT_TRUE(defaultIsNo);
        rig.Until([] { return false; }); // anything sent would be logged by now
        EXPECT_EQ(sentLines(), 0u);
        {
            WhenShown answer(WindowOfClass(L"#32770", L"Warning!"), [](HWND box) {
                SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
            });
            SendMessageW(rig.Named("bntResetAll"), BM_CLICK, 0, 0);
        }
        EXPECT_TRUE(rig.Until([&] { return sentLines() == 1; }));

        // A popup menu's entry shows its hint while it is highlighted, and a
        // chosen entry runs its command.
        form.ShowConnecting();
        form.labConnecting.SetVisible(false);
        form.pnDevice.SetVisible(true);
        rig.Sync();
        EXPECT_TRUE(IsWindowVisible(rig.Named("btnLocks")));
        EXPECT_FALSE(IsWindowVisible(rig.Named("btnScan")));
        std::wstring highlighted;
        PostKey(window, VK_DOWN);
        PostKey(window, VK_DOWN);
        mainThread.Post([&] { highlighted = view.StatusText(); });
        PostKey(window, VK_ESCAPE);
        form.btnLocksContextPopup(); // returns when the menu has closed
        const std::wstring afterClose = view.StatusText();
        const std::string hint = form.pmLocks.Items().at(1).Hint;
        EXPECT_FALSE(hint.empty());
        EXPECT_EQ(highlighted, Wide(hint));
        EXPECT_EQ(afterClose, L"");

        PostKey(window, VK_DOWN);
        PostKey(window, VK_RETURN); // "OLED IDLE"
        SendMessageW(rig.Named("btnCDevRestart"), WM_CONTEXTMENU,
                     reinterpret_cast<WPARAM>(rig.Named("btnCDevRestart")), MAKELPARAM(10, 10));
        EXPECT_TRUE(rig.Until([&] { return sentLines() == 2; }));

        // "Locks" reads the lockers list; with Ctrl held it opens the lock-kit
        // menu under the button instead.
        SendMessageW(rig.Named("btnLocks"), BM_CLICK, 0, 0);
        EXPECT_TRUE(rig.Until([&] { return sentLines() == 3; }));
        POINT menuAt{-1, -1};
        {
            WhenShown look(WindowOfClass(L"#32768", nullptr), [&](HWND menu) {
                RECT shown;
                GetWindowRect(menu, &shown);
                menuAt = {shown.left, shown.top};
                PostKey(window, VK_ESCAPE);
            });
            HoldCtrl(true);
            SendMessageW(rig.Named("btnLocks"), BM_CLICK, 0, 0);
            HoldCtrl(false);
        }
        RECT button;
        GetWindowRect(rig.Named("btnLocks"), &button);
        EXPECT_EQ(menuAt.x, button.left);
        EXPECT_EQ(menuAt.y, button.bottom);
        EXPECT_EQ(sentLines(), 3u);

        // The About box (the status bar's corner, or F1) names the version.
        std::wstring about;
        {
            WhenShown read(WindowOfClass(L"#32770", L"About Velkor"), [&](HWND box) {
                about = Text(GetDlgItem(box, 0xFFFF));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            });
            const HWND status = view.StatusBar();
            RECT corner;
            SendMessageW(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&corner));
            const LPARAM at = MAKELPARAM(corner.left + 4, corner.top + 4);
            SendMessageW(status, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageW(status, WM_LBUTTONUP, 0, at);
        }
        EXPECT_NE(about.find(L"RFID Reader Configurator"), std::wstring::npos) << about;
        EXPECT_NE(about.find(Wide(kProjectVersion)), std::wstring::npos) << about;

        // Closing remembers the place and the log options.
        bool closed = false;
        view.SetClosedHandler([&] { closed = true; });
        SetWindowPos(window, nullptr, 40, 50, 700, 560, SWP_NOZORDER);
        SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(closed);
        EXPECT_FALSE(IsWindowVisible(window));
    }
    App again(settings);
    RECT place;
    GetWindowRect(again.app.Window().Window(), &place);
    EXPECT_EQ(place.left, 40);
    EXPECT_EQ(place.top, 50);
    EXPECT_EQ(place.right - place.left, 700);
    EXPECT_EQ(place.bottom - place.top, 560);
    EXPECT_TRUE(again.app.Form().cbLogSent.Checked());

    // A settings file that cannot be written (its folder is a file) says so.
    const std::wstring notAFolder = TempFile(L"velkor-not-a-folder");
    CloseHandle(
        CreateFileW(notAFolder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    IniSettingsStore unwritable(notAFolder + L"\\Velkor.ini");
    std::string error;
    EXPECT_FALSE(unwritable.Write("key", "value", error));
    EXPECT_NE(error.find("velkor-not-a-folder"), std::string::npos) << error;
    DeleteFileW(notAFolder.c_str());
}

} // namespace velkor
