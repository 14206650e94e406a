#include "ui/win32/FramedMemo.h"

#include "ui/dialogs/uTextInput.h"
#include "ui/win32/Win32Colour.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>

#include <string>

namespace velkor {

namespace {

constexpr UINT_PTR kPaintSubclass = 3;
constexpr const char* kLineBreak = "\r\n";

} // namespace

FramedMemo::FramedMemo(dialogs::TFramedMemo& model, HWND edit) : model_(model), edit_(edit) {
    SetWindowSubclass(edit_, Paint, kPaintSubclass, reinterpret_cast<DWORD_PTR>(this));
    Refresh();
}

void FramedMemo::Refresh() {
    ShowWindowText(edit_, model_.Text());
    InvalidateRect(edit_, nullptr, TRUE);
}

void FramedMemo::Command(WORD code) {
    if (code != EN_CHANGE) {
        return;
    }
    const std::string text = WindowText(edit_);
    std::vector<std::string> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find(kLineBreak, start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
    }
    model_.SetLines(std::move(lines));
    InvalidateRect(edit_, nullptr, TRUE);
}

RECT GuideFrameOf(HWND edit) {
    RECT client;
    GetClientRect(edit, &client);
    const HDC dc = GetDC(edit);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SIZE letter{};
    GetTextExtentPoint32W(dc, L"W", 1, &letter);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    const dialogs::FrameRect frame =
        dialogs::TFramedMemo::GuideFrame(client.right, client.bottom, letter.cx, letter.cy);
    return {frame.left, frame.top, frame.right, frame.bottom};
}

RECT FramedMemo::GuideFrame() const {
    return GuideFrameOf(edit_);
}

void FramedMemo::DrawFrame() const {
    const RECT frame = GuideFrame();
    HideCaret(edit_);
    const HDC dc = GetDC(edit_);
    const HPEN pen = CreatePen(PS_SOLID, 1, ModelColour(model_.GuideFrameColour()));
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH)); // XOR black: unchanged
    const int oldMode = SetROP2(dc, R2_XORPEN);
    RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom,
              dialogs::TFramedMemo::kCornerSize, dialogs::TFramedMemo::kCornerSize);
    SetROP2(dc, oldMode);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    ReleaseDC(edit_, dc);
    ShowCaret(edit_);
}

LRESULT CALLBACK FramedMemo::Paint(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data) {
    const auto* self = reinterpret_cast<const FramedMemo*>(data);
    switch (message) {
    case WM_PAINT: {
        // The whole memo is repainted, so the frame is drawn over fresh pixels
        // only and the XOR never takes a frame drawn earlier away.
        InvalidateRect(edit, nullptr, TRUE);
        const LRESULT painted = DefSubclassProc(edit, message, wParam, lParam);
        self->DrawFrame();
        return painted;
    }
    case WM_SETCURSOR:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_ENABLE: {
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        InvalidateRect(edit, nullptr, TRUE);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, Paint, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace velkor
