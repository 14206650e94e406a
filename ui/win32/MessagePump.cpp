#include "ui/win32/MessagePump.h"

namespace velkor {

namespace {

constexpr const wchar_t* kDialogKeysProperty = L"VelkorDialogKeys";

// The queue hands out posted messages before input, paint and timer messages,
// so a steady stream of posted tasks (the reader's events during a flood of
// answers) would keep the window from answering the mouse and keyboard,
// repainting and ticking its timers until the stream ends. Each turn of the
// loops first takes one waiting message of those kinds by its range, at most
// once a frame (16 ms), so the stream still gets most of the time.
constexpr DWORD kFrameMs = 16;

bool TakeHeldBack(MSG& message) {
    static DWORD lastTaken = 0;
    const DWORD now = GetTickCount();
    if (now - lastTaken < kFrameMs) {
        return false;
    }
    lastTaken = now;
    return PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE);
}

} // namespace

void UseDialogKeys(HWND window) {
    SetPropW(window, kDialogKeysProperty, reinterpret_cast<HANDLE>(1));
}

void DispatchOne(MSG& message) {
    if (message.hwnd != nullptr && message.message >= WM_KEYFIRST &&
        message.message <= WM_KEYLAST) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root != nullptr && GetPropW(root, kDialogKeysProperty) != nullptr &&
            IsDialogMessageW(root, &message)) {
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool DispatchPending() {
    MSG message;
    for (;;) {
        if (TakeHeldBack(message)) {
            DispatchOne(message);
        }
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            return true;
        }
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchOne(message);
    }
}

BOOL GetNextMessage(MSG& message) {
    return TakeHeldBack(message) ? TRUE : GetMessageW(&message, nullptr, 0, 0);
}

int RunMessageLoop() {
    MSG message;
    while (GetNextMessage(message) > 0) {
        DispatchOne(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace velkor
