#include "ui/win32/WindowText.h"

#include "ui/win32/Win32Text.h"

namespace velkor {

std::string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void ShowWindowText(HWND window, std::string_view win1251) {
    if (WindowText(window) != win1251) {
        SetWindowTextW(window, Wide(win1251).c_str());
    }
}

} // namespace velkor
