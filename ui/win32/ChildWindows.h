// The two window classes of the main window's own: a panel that groups
// controls and hands their notifications on to its parent (so the main
// window receives every control's commands), and an input lamp, a rounded
// square in its colour that reports the release of any mouse button to its
// parent as WM_COMMAND with STN_CLICKED.
#pragma once

#include <windows.h>

namespace velkor {

// A child panel of `parent` with the window face as its background.
HWND CreatePanel(HWND parent, DWORD exStyle = 0);

HWND CreateLamp(HWND parent, int id);
// The lamp's fill, as 0x00BBGGRR; it repaints when it changes.
void SetLampColour(HWND lamp, COLORREF colour);
COLORREF LampColour(HWND lamp);

} // namespace velkor
