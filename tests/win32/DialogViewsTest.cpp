// The Win32 dialog windows driven by window messages through the real edit
// operations: keys typed and pasted, Escape and Enter through the dialog keys,
// the owner disabled while a dialog runs, the block list's arrow keys and its
// drawing, the memo's XOR frame, the USART lists opening on typing, the
// lockers menu, and Cyrillic texts from Windows-1251 bytes.
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/uAuthFlagsInput.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/win32/FramedMemo.h"
#include "ui/win32/MessagePump.h"
#include "ui/win32/Win32Colour.h"
#include "ui/win32/Win32ModalRunner.h"
#include "ui/win32/WindowNames.h"
#include "ui/win32/WindowText.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace velkor {

namespace {

// Runs `act` on the dialog window named `name` from inside its modal loop; a
// dialog a failed check leaves open is closed so the test can go on.
class NextDialog {
public:
    static void Act(std::string name, std::function<void(HWND)> act) {
        name_ = std::move(name);
        act_ = std::move(act);
        timer_ = SetTimer(nullptr, 0, 10, Tick);
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND dialog = FindNamedTopLevel(name_);
        if (dialog == nullptr) {
            return;
        }
        KillTimer(nullptr, timer_);
        const auto act = std::move(act_);
        act(dialog);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }

    static inline std::string name_;
    static inline std::function<void(HWND)> act_;
    static inline UINT_PTR timer_ = 0;
};

HWND Child(HWND dialog, const char* name) {
    const HWND child = FindNamedChild(dialog, name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// A click as the button reports it to the dialog.
void Click(HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void Type(HWND control, std::wstring_view text) {
    for (const wchar_t character : text) {
        SendMessageW(control, WM_CHAR, character, 1);
    }
}

// A key through the dialog's own loop (and so through the dialog keys).
void Press(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
    DispatchPending();
}

void Focus(HWND dialog, HWND control) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

int Selection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

std::wstring WideText(HWND window) {
    wchar_t text[256];
    return {text, text + GetWindowTextW(window, text, 256)};
}

// A plain top-level window to own the dialogs.
struct OwnerWindow {
    OwnerWindow()
        : window(CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 300, 200, nullptr, nullptr, nullptr, nullptr)) {}
    ~OwnerWindow() { DestroyWindow(window); }
    HWND window;
};

} // namespace

TEST(Win32DialogViews, NetConfigDisablesItsOwnerIgnoresEscapeAndTakesEnterAsOk) {
    const std::string record =
        eproto_hex_to_bytes("001122AABBCCC0A8010AFFFFFF00C0A80101EC0B901F5000");
    OwnerWindow owner;
    Win32ModalRunner runner(owner.window);
    bool ownerDisabled = false;
    bool centred = false;
    NextDialog::Act("TfrmNetConfig", [&](HWND dialog) {
        ownerDisabled = !IsWindowEnabled(owner.window);
        RECT frame;
        GetWindowRect(dialog, &frame);
        MONITORINFO monitor{sizeof(monitor)};
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
        centred =
            std::abs((frame.left + frame.right) - (monitor.rcWork.left + monitor.rcWork.right)) <=
                1 &&
            std::abs((frame.top + frame.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)) <=
                1;
        EXPECT_EQ(WindowText(dialog), "for: 192.168.1.10");
        EXPECT_EQ(WindowText(Child(dialog, "labMAC")), "001122AABBCC");
        EXPECT_FALSE(IsWindowEnabled(Child(dialog, "edUDPPort")));
        EXPECT_EQ(SendMessageW(Child(dialog, "edIP4"), EM_GETLIMITTEXT, 0, 0), 3);
        const HWND port = Child(dialog, "edTCPPort");
        Press(port, VK_ESCAPE); // not bound to Cancel here
        Focus(dialog, port);
        Type(port, L"\x01 9000 ");            // Ctrl+A, then the new text replaces the old
        EXPECT_EQ(WindowText(port), " 9000"); // at most 5 characters
        Press(port, VK_RETURN);
    });
    const std::string result = dialogs::EditNetConfig(runner, record, "for: 192.168.1.10");
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(centred);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
    EXPECT_EQ(eproto_bytes_to_hex(result), "001122AABBCCC0A8010AFFFFFF00C0A80101EC0B28235000");

    NextDialog::Act("TfrmNetConfig", [](HWND dialog) { Click(Child(dialog, "btnCancel")); });
    EXPECT_TRUE(dialogs::EditNetConfig(runner, record, "Network Config").empty());
    // The close box cancels as well.
    NextDialog::Act("TfrmNetConfig", [](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); });
    EXPECT_TRUE(dialogs::EditNetConfig(runner, record, "Network Config").empty());
    // An owner destroyed under a running dialog (the program closing) ends it.
    auto closing = std::make_unique<OwnerWindow>();
    Win32ModalRunner closingRunner(closing->window);
    NextDialog::Act("TfrmNetConfig", [&closing](HWND) { closing.reset(); });
    EXPECT_TRUE(dialogs::EditNetConfig(closingRunner, record, "Network Config").empty());
}

TEST(Win32DialogViews, SectorKeyFieldsFilterTypingAndPastingAndPadOnLeaving) {
    std::string block(96, '\x11');
    block += std::string("\x05\x80", 2);
    Win32ModalRunner runner(nullptr);
    NextDialog::Act("TfrmSectorKeys", [](HWND dialog) {
        const HWND key0 = Child(dialog, "edPassword0");
        EXPECT_EQ(WindowText(key0), "111111111111");
        Focus(dialog, key0);
        Type(key0, L"\x01"
                   L"a-g 9");
        EXPECT_EQ(WindowText(key0), "A9"); // lower case raised, g, minus and blank dropped
        Type(key0, L"\b");
        EXPECT_EQ(WindowText(key0), "A");
        ASSERT_TRUE(OpenClipboard(dialog));
        EmptyClipboard();
        const HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"aa:bb"));
        memcpy(GlobalLock(text), L"aa:bb", sizeof(L"aa:bb"));
        GlobalUnlock(text);
        SetClipboardData(CF_UNICODETEXT, text);
        CloseClipboard();
        SendMessageW(key0, WM_PASTE, 0, 0);
        EXPECT_EQ(WindowText(key0), "Aaabb");        // pasted case kept, colon dropped
        Focus(dialog, Child(dialog, "edPassword1")); // leaving the field pads it
        EXPECT_EQ(WindowText(key0), "FFFFFFFAaabb");
        Press(dialog, VK_ESCAPE);
    });
    EXPECT_TRUE(dialogs::EditSectorKeys(runner, block, "Sector Keys").empty());

    NextDialog::Act("TfrmSectorKeys", [](HWND dialog) {
        EXPECT_EQ(SendMessageW(Child(dialog, "cbKeyB15"), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(Child(dialog, "cbKeyB1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        Click(Child(dialog, "btnOk"));
    });
    EXPECT_EQ(eproto_bytes_to_hex(dialogs::EditSectorKeys(runner, block, "Sector Keys")),
              eproto_bytes_to_hex(block));
}

TEST(Win32DialogViews, BlockListSkipsDropsQueuedKeysRefusesGreyEntriesAndDrawsThemGrey) {
    dialogs::TfrmAuthFlagsInput form;
    form.SetData(std::string("\x1F\x25", 2)); // auth block 9
    form.cbABlock.SetTag(0);                  // refuses entries that cannot be chosen
    int beeps = 0;
    form.cbABlock.OnBeep = [&beeps] { ++beeps; };
    Win32ModalRunner runner(nullptr);
    NextDialog::Act("TfrmAuthFlagsInput", [&](HWND dialog) {
        const HWND combo = Child(dialog, "cbABlock");
        EXPECT_EQ(Selection(combo), 9);
        Press(combo, VK_DOWN);
        EXPECT_EQ(Selection(combo), 10); // a selectable neighbour is one plain step
        Press(combo, VK_DOWN);
        EXPECT_EQ(Selection(combo), 12); // 11 skipped
        Press(combo, VK_UP);
        EXPECT_EQ(Selection(combo), 10);
        // Keys typed ahead of a skip are dropped with it.
        SendMessageW(combo, CB_SETCURSEL, 6, 0);
        for (int n = 0; n < 3; ++n) {
            PostMessageW(combo, WM_KEYDOWN, VK_DOWN, 1);
        }
        DispatchPending();
        EXPECT_EQ(Selection(combo), 8);
        SendMessageW(combo, CB_SETCURSEL, 62, 0);
        Press(combo, VK_DOWN);
        EXPECT_EQ(Selection(combo), 62);
        EXPECT_EQ(beeps, 1);

        // Closing the list on an entry that cannot be chosen: beep, the entry
        // chosen before, and the list open again.
        SendMessageW(combo, CB_SETCURSEL, 4, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageW(combo, CB_SETCURSEL, 7, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        DispatchPending();
        EXPECT_EQ(beeps, 2);
        EXPECT_EQ(Selection(combo), 4);
        EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);

        // Entry 3 is drawn grey on silver from the text indent on, white before.
        const HDC screen = GetDC(nullptr);
        const HDC memory = CreateCompatibleDC(screen);
        const HBITMAP picture = CreateCompatibleBitmap(screen, 200, 20);
        ReleaseDC(nullptr, screen);
        const HGDIOBJ old = SelectObject(memory, picture);
        DRAWITEMSTRUCT item{ODT_COMBOBOX,
                            static_cast<UINT>(GetDlgCtrlID(combo)),
                            3,
                            ODA_DRAWENTIRE,
                            0,
                            combo,
                            memory,
                            {0, 0, 200, 20},
                            0};
        SendMessageW(dialog, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(GetPixel(memory, 100, 2), RGB(0xC0, 0xC0, 0xC0));
        EXPECT_EQ(GetPixel(memory, 1, 2), RGB(0xFF, 0xFF, 0xFF));
        // The entry remembered while the list is down is drawn on navy.
        const int chosen = form.cbABlock.ItemIndex();
        form.cbABlock.SetItemIndex(9);
        form.cbABlock.DropDown(); // remembers entry 9
        item.itemID = 9;
        SendMessageW(dialog, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(GetPixel(memory, 100, 2), RGB(0, 0, 0x80));
        form.cbABlock.CloseUp();
        form.cbABlock.SetItemIndex(chosen);
        EXPECT_EQ(ModelColour(clRed), RGB(0xFF, 0, 0));
        SelectObject(memory, old);
        DeleteObject(picture);
        DeleteDC(memory);

        Click(Child(dialog, "Button1"));
    });
    EXPECT_EQ(runner.Run(form), mrOk);
    EXPECT_EQ(eproto_bytes_to_hex(form.GetData()), "1F11"); // block 4, reader lock 1
}

TEST(Win32DialogViews, TextInputDrawsItsFrameWithXorFollowsResizingAndTakesCyrillic) {
    dialogs::TfrmTextInput form;
    form.memText.SetLines({});
    Win32ModalRunner runner(nullptr);
    NextDialog::Act("TfrmTextInput", [](HWND dialog) {
        const HWND memo = Child(dialog, "memText");
        UpdateWindow(memo);
        const RECT frame = GuideFrameOf(memo);
        RECT client;
        GetClientRect(memo, &client);
        EXPECT_EQ(frame.top, 2);
        EXPECT_LE(std::abs((frame.left + frame.right) / 2 - client.right / 2), 1);
        // White under a pen of 0x996666 (blue 0x99, green and red 0x66) XORs
        // to red and green 0x99, blue 0x66; inside the frame white stays.
        const HDC dc = GetDC(memo);
        const int quarter = frame.left + (frame.right - frame.left) / 4; // clear of the caret
        EXPECT_EQ(GetPixel(dc, quarter, frame.top), RGB(0x99, 0x99, 0x66));
        EXPECT_EQ(GetPixel(dc, frame.left + 3, (frame.top + frame.bottom) / 2),
                  RGB(0xFF, 0xFF, 0xFF));
        ReleaseDC(memo, dc);

        // Ok keeps its distance to the bottom right corner.
        const HWND ok = Child(dialog, "btnOk");
        auto distance = [&] {
            RECT button;
            GetWindowRect(ok, &button);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
            RECT area;
            GetClientRect(dialog, &area);
            return std::pair{area.right - button.right, area.bottom - button.bottom};
        };
        const auto before = distance();
        SetWindowPos(dialog, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(distance(), before);

        Type(memo, L"Привет\rмир");
        EXPECT_EQ(WindowText(Child(dialog, "cbDelay")), "3 s");
        Click(ok);
    });
    const auto text = dialogs::InputDisplayText(runner, form);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text, Win1251FromUtf8("Привет\r\nмир"));
    EXPECT_EQ(text->holdMs, 3000u);
}

TEST(Win32DialogViews, CardNumberShowsCyrillicAndUsartListsOpenOnTyping) {
    Win32ModalRunner runner(nullptr);
    NextDialog::Act("TfrmNewCardNum", [](HWND dialog) {
        EXPECT_EQ(WideText(dialog), L"Запись номера");
        EXPECT_EQ(WideText(Child(dialog, "Label1")), L"Введите новый номер:");
        EXPECT_EQ(WideText(Child(dialog, "btnOK")), L"ОК");
        Type(Child(dialog, "edCardNum"), L"70000");
        Press(Child(dialog, "edCardNum"), VK_RETURN);
    });
    EXPECT_EQ(dialogs::InputCardNumber(runner), std::optional<int32_t>(70000));

    const std::string block = eproto_hex_to_bytes("020080250100000034127856");
    NextDialog::Act("TfrmUSARTCfg", [](HWND dialog) {
        const HWND plan = Child(dialog, "cbPlan");
        EXPECT_EQ(WindowText(plan), "MTERM:  Master terminal");
        EXPECT_FALSE(SendMessageW(plan, CB_GETDROPPEDSTATE, 0, 0));
        SendMessageW(plan, WM_CHAR, L'n', 1);
        EXPECT_TRUE(SendMessageW(plan, CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_EQ(Selection(plan), 0); // "NONE"
        SendMessageW(plan, CB_SHOWDROPDOWN, FALSE, 0);
        Click(Child(dialog, "btnDefaults"));
        EXPECT_EQ(WindowText(Child(dialog, "edBaudrate")), "9600");
        Click(Child(dialog, "Button1"));
    });
    EXPECT_EQ(eproto_bytes_to_hex(dialogs::EditUSARTConfig(runner, block, "USART Flags")),
              "000080250100000000000000");
}

TEST(Win32DialogViews, LockerRowTakesTheBlockChosenInItsMenu) {
    std::string block(97, '\0');
    Win32ModalRunner runner(nullptr);
    NextDialog::Act("TfrmLockersInput", [](HWND dialog) {
        const HWND selector = Child(dialog, "btnLock1");
        EXPECT_EQ(WindowText(selector), "- None -");
        // The menu reads the keys queued for it: "- None -", "Sector 0",
        // "Sector 1", into its submenu, "Block 4".
        for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}) {
            PostMessageW(dialog, WM_KEYDOWN, key, 1);
        }
        Click(selector);
        EXPECT_EQ(WindowText(selector), "Block 4");
        Type(Child(dialog, "edLock1"), L"\x01"
                                       L"Box");
        Click(Child(dialog, "Button1"));
    });
    const std::string result = dialogs::EditLockersList(runner, block, "Lockers list data");
    ASSERT_EQ(result.size(), 97u);
    EXPECT_EQ(eproto_bytes_to_hex(result.substr(0, 6)), "0104426F7800");
}

} // namespace velkor
