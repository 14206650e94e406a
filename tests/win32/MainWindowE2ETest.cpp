// The Windows build's main window under Wine against the Linux controller
// simulator in the same network namespace (main_window_wine_e2e.sh starts it):
// "Scan" lists the fleet in address order, a double click connects with the
// greeting sequence, a card read shows the card panel and grants access at
// the controller, "Edit Keys" writes back through the sector keys dialog,
// "Full Defs" sends its sequence, "<< Disconnect" returns to the discovery
// page and "Reset All" resets nobody on No and everybody on Yes. The
// simulator is driven and asked what it received through its control port.
#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "tests/e2e/FullDefsTraffic.h"
#include "tests/win32/WhenShown.h"
#include "ui/main/URfidForm.h"
#include "ui/win32/Configurator.h"
#include "ui/win32/IniSettingsStore.h"
#include "ui/win32/MainWindowView.h"
#include "ui/win32/Win32MainThread.h"
#include "ui/win32/WindowNames.h"
#include "ui/win32/WindowText.h"

#include <winsock2.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace velkor {

using namespace std::chrono_literals;

namespace {

// The simulator's control port: one command line, its answer up to "ok".
class SimulatorControl {
public:
    SimulatorControl() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        const char* port = std::getenv("VELKOR_SIM_CONTROL_PORT");
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port != nullptr ? std::atoi(port) : 0));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = port != nullptr &&
                     ::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        DWORD timeout = 5000;
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                   sizeof timeout);
    }
    ~SimulatorControl() {
        closesocket(socket_);
        WSACleanup();
    }
    bool Connected() const { return connected_; }

    // The answer's last line ("ok" or "ok N", N the connections reached), or
    // empty on an error or a time-out; `lines` gets the lines before it.
    std::string Ask(const std::string& command, std::vector<std::string>* lines = nullptr) {
        const std::string line = command + "\n";
        send(socket_, line.data(), static_cast<int>(line.size()), 0);
        std::string current;
        char c = 0;
        while (recv(socket_, &c, 1, 0) == 1) {
            if (c != '\n') {
                current += c;
                continue;
            }
            if (current == "ok" || current.rfind("ok ", 0) == 0) {
                return current;
            }
            if (current.rfind("error", 0) == 0) {
                return {};
            }
            if (lines != nullptr) {
                lines->push_back(current);
            }
            current.clear();
        }
        return {};
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
    bool connected_ = false;
};

struct Packet {
    bool tcp;
    int cmd;
    std::string data; // hex
};

// What the controllers `which` ("0", "*") received since they were cleared.
std::vector<Packet> Received(SimulatorControl& control, const std::string& which) {
    std::vector<Packet> packets;
    std::vector<std::string> records;
    control.Ask("received " + which, &records);
    for (const std::string& record : records) {
        const size_t cmd = record.find("\"cmd\":") + 6;
        const size_t data = record.find("\"data\":\"") + 8;
        packets.push_back({record.find("\"transport\":\"tcp\"") != std::string::npos,
                           std::atoi(record.c_str() + cmd),
                           record.substr(data, record.find('"', data) - data)});
    }
    return packets;
}

// Command and data hex of what controller 0 received by TCP, without the
// keep-alives its timer sends every five seconds.
std::vector<std::pair<int, std::string>> TcpTraffic(SimulatorControl& control) {
    std::vector<std::pair<int, std::string>> traffic;
    for (const Packet& packet : Received(control, "0")) {
        if (packet.tcp && packet.cmd != contract::kKeepAlive) {
            traffic.emplace_back(packet.cmd, packet.data);
        }
    }
    return traffic;
}

// The resets every controller received by UDP.
size_t UdpResets(SimulatorControl& control) {
    size_t resets = 0;
    for (const Packet& packet : Received(control, "*")) {
        resets += !packet.tcp && packet.cmd == contract::kReset ? 1 : 0;
    }
    return resets;
}

// With VELKOR_SHOT_DIR set (scripts/windows-main-screenshots.sh runs the test
// on a Wine desktop), the window is offered for a screenshot: the file "ready"
// names the shot and the window's place, and the test goes on once the script
// has made "done". Without it nothing happens.
void OfferScreenshot(Configurator& app, const char* name) {
    const char* folder = std::getenv("VELKOR_SHOT_DIR");
    if (folder == nullptr) {
        return;
    }
    const std::filesystem::path handshake(folder);
    app.MainThread().ProcessMessagesFor(300ms); // the last paints
    RECT frame;
    GetWindowRect(app.Window().Window(), &frame);
    {
        std::ofstream ready(handshake / "ready.tmp");
        ready << name << ' ' << frame.left << ' ' << frame.top << ' ' << frame.right - frame.left
              << ' ' << frame.bottom - frame.top << '\n';
    }
    std::filesystem::rename(handshake / "ready.tmp", handshake / "ready");
    for (int wait = 0; wait < 300 && !std::filesystem::exists(handshake / "done"); ++wait) {
        app.MainThread().ProcessMessagesFor(50ms);
    }
    std::filesystem::remove(handshake / "done");
}

std::vector<std::string> Rows(HWND table) {
    std::vector<std::string> rows;
    for (int row = 0; row < ListView_GetItemCount(table); ++row) {
        wchar_t cell[64] = {};
        ListView_GetItemText(table, row, 1, cell, 64);
        rows.emplace_back(cell, cell + wcslen(cell));
    }
    return rows;
}

} // namespace

TEST(Win32MainWindowE2E, ScanConnectCardReadAndDisconnectAgainstTheSimulator) {
    SimulatorControl control;
    ASSERT_TRUE(control.Connected()) << "no simulator control port (VELKOR_SIM_CONTROL_PORT)";
    // The fleet the script starts, in the simulator's order.
    const std::vector<std::string> fleet = {"127.0.33.5", "127.0.33.2", "127.0.34.1"};

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring settings = std::wstring(folder) + L"velkor-e2e.ini";
    DeleteFileW(settings.c_str());
    VelkorOptions options;
    options.BroadcastAddress = "127.255.255.255";
    Configurator app(options, std::make_unique<IniSettingsStore>(settings));
    ASSERT_TRUE(app.Start());
    TRFIDMainForm& form = app.Form();
    const HWND window = app.Window().Window();
    const auto named = [window](const char* name) { return FindNamedChild(window, name); };
    const auto until = [&app](const std::function<bool()>& done) {
        for (int slice = 0; slice < 500 && !done(); ++slice) {
            app.MainThread().ProcessMessagesFor(10ms);
        }
        return done();
    };

    // "Scan": every controller once, the last octet weighing most.
    SendMessageW(named("btnScan"), BM_CLICK, 0, 0);
    const HWND table = named("lbDeviceList");
    ASSERT_TRUE(until([&] { return ListView_GetItemCount(table) == 3; }));
    EXPECT_EQ(Rows(table), (std::vector<std::string>{"127.0.34.1", "127.0.33.2", "127.0.33.5"}));
    EXPECT_TRUE(until([&] { return WindowText(named("btnScan")) == "Scan (3)"; }));
    OfferScreenshot(app, "windows-main-discovery");

    // A double click on 127.0.33.5 connects and greets it.
    ASSERT_EQ(control.Ask("clear 0"), "ok");
    RECT row{LVIR_BOUNDS};
    SendMessageW(table, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    const LPARAM at = MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
    PostMessageW(table, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(table, WM_LBUTTONUP, 0, at);
    PostMessageW(table, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(table, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(until([&] { return IsWindowVisible(named("pnToolBar")) != FALSE; }));
    EXPECT_TRUE(until([&] { return IsWindowVisible(named("pnDevice")) != FALSE; }));
    EXPECT_FALSE(IsWindowVisible(named("labConnecting")));
    EXPECT_TRUE(until([&] { return Received(control, "0").size() >= 5; }));
    const auto greeting = Received(control, "0");
    ASSERT_GE(greeting.size(), 5u);
    EXPECT_TRUE(greeting[0].tcp);
    EXPECT_EQ(std::make_pair(greeting[0].cmd, greeting[0].data),
              std::make_pair(6, std::string("0A000F00")));
    EXPECT_EQ(greeting[1].cmd, 23);
    EXPECT_EQ(std::make_pair(greeting[2].cmd, greeting[2].data),
              std::make_pair(8, std::string("11")));
    EXPECT_EQ(std::make_pair(greeting[3].cmd, greeting[3].data),
              std::make_pair(8, std::string("1A")));
    EXPECT_EQ(std::make_pair(greeting[4].cmd, greeting[4].data),
              std::make_pair(8, std::string("1B")));
    EXPECT_TRUE(until([&] { return WindowText(named("btnLang")).rfind("Lang: ", 0) == 0; }));

    // A card read: the card panel shows its number, the controller is told
    // "Доступ разрешен" in Windows-1251 and then pulses relay 1.
    EXPECT_FALSE(IsWindowVisible(named("pnCard")));
    ASSERT_EQ(control.Ask("clear 0"), "ok");
    ASSERT_EQ(control.Ask("card 0 04A1B2C3D40001"), "ok 1"); // to the one connection
    ASSERT_TRUE(until([&] { return IsWindowVisible(named("pnCard")) != FALSE; }));
    EXPECT_TRUE(until([&] { return WindowText(named("labUID")) == "A1B2C3D4 (195,45729)"; }));
    EXPECT_EQ(WindowText(named("Label3")), Win1251FromUtf8("Шкаф"));
    const std::string granted = eproto_bytes_to_hex(Win1251FromUtf8("Доступ разрешен"));
    std::vector<std::pair<int, std::string>> answer;
    EXPECT_TRUE(until([&] {
        answer = TcpTraffic(control);
        return answer.size() >= 2;
    }));
    ASSERT_GE(answer.size(), 2u);
    EXPECT_EQ(answer[0].first, static_cast<int>(contract::kDisplay));
    EXPECT_NE(answer[0].second.find(granted), std::string::npos) << answer[0].second;
    EXPECT_EQ(answer[1].first, static_cast<int>(contract::kRelayPulse));
    ASSERT_EQ(control.Ask("input 0 5"), "ok 1");
    EXPECT_TRUE(until([&] { return form.shInput3.Colour() == clGreen; }));
    OfferScreenshot(app, "windows-main-device");

    // "Edit Keys" opens the sector keys dialog; a new key 0 and OK write the
    // keys back, committed with 34, 36 and 19.
    ASSERT_EQ(control.Ask("clear 0"), "ok");
    const auto writes = [&] {
        std::vector<std::pair<int, std::string>> found;
        for (const auto& packet : TcpTraffic(control)) {
            if (packet.first != contract::kSettingsRead) {
                found.push_back(packet);
            }
        }
        return found;
    };
    {
        WhenShown edit([] { return FindNamedTopLevel("TfrmSectorKeys"); },
                       [](HWND dialog) {
                           const HWND key0 = FindNamedChild(dialog, "edPassword0");
                           SendMessageW(key0, EM_SETSEL, 0, -1);
                           for (const wchar_t c : std::wstring(L"a0a1a2a3a4a5")) {
                               SendMessageW(key0, WM_CHAR, c, 0);
                           }
                           SendMessageW(FindNamedChild(dialog, "btnOk"), BM_CLICK, 0, 0);
                       });
        SendMessageW(named("btnEditKeys"), BM_CLICK, 0, 0);
        EXPECT_TRUE(until([&] { return writes().size() >= 4; }));
    }
    const auto written = writes();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0].first, static_cast<int>(contract::kSettingsWrite));
    EXPECT_EQ(written[0].second.rfind("20A0A1A2A3A4A5", 0), 0u) << written[0].second;
    EXPECT_EQ(written[1].first, 34);
    EXPECT_EQ(written[2].first, 36);
    EXPECT_EQ(written[3].first, 19);

    // "Full Defs" sends the default configuration and reads the byte settings again.
    ASSERT_EQ(control.Ask("clear 0"), "ok");
    SendMessageW(named("btnFullDefs"), BM_CLICK, 0, 0);
    const std::vector<std::pair<int, std::string>> defaults = e2e::FullDefsTraffic();
    EXPECT_TRUE(until([&] { return TcpTraffic(control).size() >= defaults.size(); }));
    EXPECT_EQ(TcpTraffic(control), defaults);

    // "<< Disconnect" goes back to the discovery page.
    SendMessageW(named("btnDisconnect"), BM_CLICK, 0, 0);
    EXPECT_TRUE(until([&] { return IsWindowVisible(named("btnScan")) != FALSE; }));
    EXPECT_FALSE(IsWindowVisible(named("pnToolBar")));
    EXPECT_NE(form.memLog.Lines().size(), 0u);

    // "Reset All" asks first: No resets nobody, Yes every controller in range.
    ASSERT_EQ(control.Ask("clear *"), "ok");
    {
        WhenShown no(WindowOfClass(L"#32770", L"Warning!"),
                     [](HWND box) { SendMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0); });
        SendMessageW(named("bntResetAll"), BM_CLICK, 0, 0);
    }
    app.MainThread().ProcessMessagesFor(500ms);
    EXPECT_EQ(UdpResets(control), 0u);
    {
        WhenShown yes(WindowOfClass(L"#32770", L"Warning!"),
                      [](HWND box) { SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0); });
        SendMessageW(named("bntResetAll"), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(until([&] { return UdpResets(control) == fleet.size(); }));
}

} // namespace velkor
