// The texts of windows as the system's Windows-1251 byte strings, read and
// written through the wide-character API.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velkor {

std::string WindowText(HWND window);
// Leaves the window alone when it already shows `win1251` (no change
// notification, no moved caret).
void ShowWindowText(HWND window, std::string_view win1251);

} // namespace velkor
