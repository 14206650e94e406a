// Places controls in rows, left to right, sized to their texts in the window
// font: the main window has no layout manager, so its pages are described as
// rows and laid out again whenever the window's size, resolution or the
// visibility of a control changes. Hidden controls take no room.
#pragma once

#include <windows.h>

#include <vector>

namespace velkor {

struct LayoutItem {
    HWND window = nullptr;
    int width = 0;        // 0: its natural width; at 96 dots per inch otherwise
    bool stretch = false; // shares the row's spare width with the other stretched items
    int gapBefore = 0;    // extra room before it, at 96 dots per inch
};
using LayoutRow = std::vector<LayoutItem>;

class RowLayout {
public:
    RowLayout(HFONT font, UINT dpi);

    UINT Dpi() const { return dpi_; }
    int Px(int pixels96) const;
    // The height of buttons, boxes and one-line labels.
    int ControlHeight() const { return controlHeight_; }
    int Gap() const { return Px(4); }
    int Margin() const { return Px(6); }
    // The width the window's text needs (buttons, labels, check boxes, combo
    // boxes by their widest item).
    int NaturalWidth(HWND window) const;
    int TextWidth(const wchar_t* text, int length) const;

    // Places the visible items of `row` at `top` between `left` and `right`;
    // returns the top of the next row (`top` when nothing in it is visible).
    int Place(const LayoutRow& row, int left, int top, int right) const;
    // The width the visible items of `row` need side by side.
    int RowWidth(const LayoutRow& row) const;

private:
    int ItemWidth(const LayoutItem& item) const;

    HFONT font_;
    UINT dpi_;
    int controlHeight_;
};

bool IsShown(HWND window);
// Moves and sizes `window`; a combo box gets room for its drop-down list.
void PlaceWindow(HWND window, int left, int top, int width, int height);

} // namespace velkor
