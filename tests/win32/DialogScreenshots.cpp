// Shows every dialog in turn for the screenshot script: when a dialog is up,
// writes "NAME LEFT TOP WIDTH HEIGHT" (its frame on the screen) to the file
// "ready" in the directory given, waits until the script has made the file
// "done" there, and closes the dialog.
#include "protocol/eproto.h"
#include "ui/dialogs/UIntInput.h"
#include "ui/dialogs/ULockersInput.h"
#include "ui/dialogs/USectorKeys.h"
#include "ui/dialogs/uAuthFlagsInput.h"
#include "ui/dialogs/uDebugFlagsInput.h"
#include "ui/dialogs/uNetConfig.h"
#include "ui/dialogs/uNewCardNum.h"
#include "ui/dialogs/uOptoFlagsInput.h"
#include "ui/dialogs/uStrInput.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/dialogs/uUSARTCfg.h"
#include "ui/win32/Win32ModalRunner.h"
#include "ui/win32/WindowNames.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace velkor {

namespace {

std::filesystem::path handshake;
std::string shotName;
std::string dialogName;
// Prepares the picture (a list dropped down) and widens the frame to take in
// what it opened.
std::function<void(HWND dialog, RECT& frame)> stage;
UINT_PTR timer = 0;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = FindNamedTopLevel(dialogName);
    if (dialog == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    RECT frame;
    GetWindowRect(dialog, &frame);
    if (stage) {
        stage(dialog, frame);
    }
    UpdateWindow(dialog);
    {
        std::ofstream ready(handshake / "ready.tmp");
        ready << shotName << ' ' << frame.left << ' ' << frame.top << ' '
              << frame.right - frame.left << ' ' << frame.bottom - frame.top << '\n';
    }
    std::filesystem::rename(handshake / "ready.tmp", handshake / "ready");
    for (int wait = 0; wait < 600 && !std::filesystem::exists(handshake / "done"); ++wait) {
        MSG message; // keep painting while the picture is taken
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::filesystem::remove(handshake / "done");
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

template <typename Form>
void Shoot(Win32ModalRunner& runner, Form& form, const char* className, const char* shot,
           std::string caption, std::function<void(HWND, RECT&)> staging = {}) {
    form.SetCaption(std::move(caption));
    shotName = shot;
    dialogName = className;
    stage = std::move(staging);
    timer = SetTimer(nullptr, 0, 300, Tick);
    runner.Run(form);
}

} // namespace

int ShootEveryDialog(const char* directory) {
    handshake = directory;
    Win32ModalRunner runner(nullptr);

    dialogs::TfrmNetConfig net;
    net.SetData(eproto_hex_to_bytes("001122AABBCCC0A8010AFFFFFF00C0A80101EC0B901F5000"));
    Shoot(runner, net, "TfrmNetConfig", "windows-dialog-network-config", "for: 192.168.1.10");

    dialogs::TfrmSectorKeys keys;
    std::string block;
    for (int sector = 0; sector < dialogs::TfrmSectorKeys::kSectors; ++sector) {
        block += sector % 3 == 0 ? eproto_hex_to_bytes("A0A1A2A3A4A5") : std::string(6, '\xFF');
    }
    keys.SetData(block + std::string("\x05\x80", 2));
    Shoot(runner, keys, "TfrmSectorKeys", "windows-dialog-sector-keys", "Sector Keys");

    dialogs::TfrmLockersInput lockers;
    std::string list(97, '\0');
    list[0] = 2;
    list.replace(1, 9, std::string("\x05Locker A", 9));
    list.replace(17, 6,
                 std::string("\x09"
                             "Box 2",
                             6));
    lockers.SetData(list);
    Shoot(runner, lockers, "TfrmLockersInput", "windows-dialog-lockers", "Lockers list data");

    dialogs::TfrmUSARTCfg usart;
    usart.SetData(eproto_hex_to_bytes("020080250100000034127856"));
    Shoot(runner, usart, "TfrmUSARTCfg", "windows-dialog-usart", "USART Flags");

    dialogs::TfrmOptoFlagsInput opto;
    opto.SetData(0x91);
    Shoot(runner, opto, "TfrmOptoFlagsInput", "windows-dialog-opto-flags", "Relay Close Flags");

    dialogs::TfrmDebugFlagsInput debug;
    debug.SetData(0x41);
    Shoot(runner, debug, "TfrmDebugFlagsInput", "windows-dialog-debug-flags", "Debug Flags");

    dialogs::TfrmAuthFlagsInput auth;
    auth.SetData(std::string("\x1F\x25", 2));
    Shoot(runner, auth, "TfrmAuthFlagsInput", "windows-dialog-auth-flags", "Auth Flags");
    Shoot(runner, auth, "TfrmAuthFlagsInput", "windows-dialog-auth-flags-block-list", "Auth Flags",
          [](HWND dialog, RECT& frame) {
              const HWND blocks = FindNamedChild(dialog, "cbABlock");
              SendMessageW(blocks, CB_SHOWDROPDOWN, TRUE, 0);
              RECT dropped;
              SendMessageW(blocks, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
              UnionRect(&frame, &frame, &dropped);
          });

    dialogs::TfrmIntInput integer;
    integer.edNum.SetText("3000");
    Shoot(runner, integer, "TfrmIntInput", "windows-dialog-integer", "DB Wait TMO");

    dialogs::TfrmStrInput text;
    text.edStr.SetText("192.168.1.10");
    Shoot(runner, text, "TfrmStrInput", "windows-dialog-string", "Input a string");

    dialogs::TfrmTextInput display;
    Shoot(runner, display, "TfrmTextInput", "windows-dialog-display-text", "TextInput");

    dialogs::TfrmNewCardNum card;
    Shoot(runner, card, "TfrmNewCardNum", "windows-dialog-card-number", card.Caption());
    return 0;
}

} // namespace velkor

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: win32_dialog_shots HANDSHAKE-DIRECTORY\n");
        return 2;
    }
    return velkor::ShootEveryDialog(argv[1]);
}
