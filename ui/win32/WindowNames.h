// Windows carry the names of the control models they show ("btnScan",
// "TfrmSectorKeys"), so the views, the tests and the screenshots find a
// window by the name the logic uses, not by a numeric id.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velkor {

void SetWindowName(HWND window, std::string_view name);
// Empty when the window has no name.
std::string WindowName(HWND window);
// The first descendant of `root` with this name, or nullptr.
HWND FindNamedChild(HWND root, std::string_view name);
// The first visible top-level window of the calling thread with this name, or nullptr.
HWND FindNamedTopLevel(std::string_view name);

} // namespace velkor
