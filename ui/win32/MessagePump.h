// The message loop of the configurator. A top-level window that asks for
// dialog keys (Tab between controls, Enter and Escape to its buttons) gets
// its keyboard messages through IsDialogMessage first, in the main loop and
// in every nested pump alike.
#pragma once

#include <windows.h>

namespace velkor {

// Marks `window` (a top-level window) as one whose keys navigate like a dialog's.
void UseDialogKeys(HWND window);

// Dispatches one message taken from the queue.
void DispatchOne(MSG& message);

// Dispatches every message waiting now. Returns false when the quit message
// was taken; it is then put back so the outermost loop sees it too.
bool DispatchPending();

// Runs until the quit message; returns its exit code.
int RunMessageLoop();

} // namespace velkor
