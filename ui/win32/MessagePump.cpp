#include "ui/win32/MessagePump.h"

namespace velkor {

namespace {

constexpr const wchar_t* kDialogKeysProperty = L"VelkorDialogKeys";

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
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchOne(message);
    }
    return true;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchOne(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace velkor
