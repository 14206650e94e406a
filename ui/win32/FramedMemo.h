// The display-text memo: a multi-line edit with centred text, and over it the
// guide frame of the area a controller's display shows, drawn with an XOR pen
// after every full repaint so the text under it stays readable.
#pragma once

#include <windows.h>

namespace velkor {

namespace dialogs {
struct TFramedMemo;
}

class FramedMemo {
public:
    FramedMemo(dialogs::TFramedMemo& model, HWND edit);

    // Copies the model's lines into the memo.
    void Refresh();
    // An EN_ notification of the memo.
    void Command(WORD code);
    // The frame in client coordinates.
    RECT GuideFrame() const;

private:
    static LRESULT CALLBACK Paint(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR self);
    void DrawFrame() const;

    dialogs::TFramedMemo& model_;
    HWND edit_;
};

// The guide frame of the memo `edit` shows, in its client coordinates.
RECT GuideFrameOf(HWND edit);

} // namespace velkor
