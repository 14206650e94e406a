#include "ui/win32/RowLayout.h"

#include "ui/win32/UiFonts.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowText.h"

#include <algorithm>
#include <string>

namespace velkor {

namespace {

constexpr int kDropDownRows = 12;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, 64);
    return {name, static_cast<size_t>(length)};
}

bool IsComboBox(HWND window) {
    return ClassOf(window) == L"ComboBox";
}

} // namespace

RowLayout::RowLayout(HFONT font, UINT dpi)
    : font_(font), dpi_(dpi), controlHeight_(LineHeight(font) + Px(10)) {
}

int RowLayout::Px(int pixels96) const {
    return Scale(pixels96, dpi_);
}

int RowLayout::TextWidth(const wchar_t* text, int length) const {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font_);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

int RowLayout::NaturalWidth(HWND window) const {
    const std::wstring kind = ClassOf(window);
    if (kind == L"ComboBox") {
        int widest = Px(24);
        const auto count = static_cast<int>(SendMessageW(window, CB_GETCOUNT, 0, 0));
        for (int item = 0; item < count; ++item) {
            std::wstring text(
                static_cast<size_t>(SendMessageW(window, CB_GETLBTEXTLEN, item, 0)) + 1, L'\0');
            const auto length = static_cast<int>(
                SendMessageW(window, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data())));
            widest = std::max(widest, TextWidth(text.c_str(), length));
        }
        return widest + GetSystemMetrics(SM_CXVSCROLL) + Px(12);
    }
    const std::wstring text = Wide(WindowText(window));
    const int width = TextWidth(text.c_str(), static_cast<int>(text.size()));
    if (kind == L"Button") {
        const LONG style = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
        if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX) {
            return width + GetSystemMetrics(SM_CXMENUCHECK) + Px(8);
        }
        return std::max(width + Px(16), Px(50));
    }
    if (kind == L"Edit") {
        return Px(120);
    }
    return width + Px(2);
}

int RowLayout::ItemWidth(const LayoutItem& item) const {
    return item.width > 0 ? Px(item.width) : NaturalWidth(item.window);
}

int RowLayout::RowWidth(const LayoutRow& row) const {
    int width = 0;
    bool first = true;
    for (const LayoutItem& item : row) {
        if (!IsShown(item.window)) {
            continue;
        }
        width += (first ? 0 : Gap()) + Px(item.gapBefore) + ItemWidth(item);
        first = false;
    }
    return width;
}

int RowLayout::Place(const LayoutRow& row, int left, int top, int right) const {
    int stretched = 0;
    for (const LayoutItem& item : row) {
        stretched += IsShown(item.window) && item.stretch ? 1 : 0;
    }
    const int spare = std::max(0, right - left - RowWidth(row));
    int x = left;
    bool any = false;
    for (const LayoutItem& item : row) {
        if (!IsShown(item.window)) {
            continue;
        }
        x += (any ? Gap() : 0) + Px(item.gapBefore);
        int width = ItemWidth(item);
        if (item.stretch) {
            width += spare / stretched;
        }
        PlaceWindow(item.window, x, top, width, controlHeight_);
        x += width;
        any = true;
    }
    return any ? top + controlHeight_ + Gap() : top;
}

bool IsShown(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void PlaceWindow(HWND window, int left, int top, int width, int height) {
    if (IsComboBox(window)) {
        height *= kDropDownRows;
    }
    SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace velkor
