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

// Waits for the next message as GetMessage does (greater than 0: a message,
// 0: the quit message, -1: an error), but gives input, paint and timer
// messages a turn between posted ones, which the queue hands out first.
BOOL GetNextMessage(MSG& message);

// Dispatches every message waiting now. Returns false when the quit message
// was taken; it is then put back so the outermost loop sees it too.
bool DispatchPending();

// Runs until the quit message; returns its exit code.
int RunMessageLoop();

} // namespace velkor
