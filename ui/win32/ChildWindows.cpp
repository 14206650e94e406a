#include "ui/win32/ChildWindows.h"

namespace velkor {

namespace {

constexpr const wchar_t* kPanelClass = L"VelkorPanel";
constexpr const wchar_t* kLampClass = L"VelkorLamp";
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr int kLampCorner = 10;

bool IsHandedOn(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CONTEXTMENU: // with the control that was clicked, not this panel
    case WM_HELP:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsHandedOn(message)) {
        return SendMessageW(GetParent(window), message, wParam, lParam);
    }
    // The cursor over a control: the main window learns which (for the hint
    // in the status bar) and the control keeps its own cursor.
    if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wParam) != window) {
        return SendMessageW(GetParent(window), message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK LampProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
        const HBRUSH fill = CreateSolidBrush(LampColour(window));
        const HGDIOBJ oldBrush = SelectObject(dc, fill);
        const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        RoundRect(dc, 0, 0, area.right, area.bottom, kLampCorner, kLampCorner);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(fill);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterOnce(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    RegisterClassExW(&windowClass); // fails harmlessly once registered
}

} // namespace

HWND CreatePanel(HWND parent, DWORD exStyle) {
    RegisterOnce(kPanelClass, PanelProc, GetSysColorBrush(COLOR_BTNFACE));
    return CreateWindowExW(exStyle | WS_EX_CONTROLPARENT, kPanelClass, L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND CreateLamp(HWND parent, int id) {
    RegisterOnce(kLampClass, LampProc, nullptr);
    const HWND lamp = CreateWindowExW(0, kLampClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(lamp, 0, static_cast<LONG_PTR>(kSilver));
    return lamp;
}

void SetLampColour(HWND lamp, COLORREF colour) {
    if (LampColour(lamp) != colour) {
        SetWindowLongPtrW(lamp, 0, static_cast<LONG_PTR>(colour));
        InvalidateRect(lamp, nullptr, FALSE);
    }
}

COLORREF LampColour(HWND lamp) {
    return static_cast<COLORREF>(GetWindowLongPtrW(lamp, 0));
}

} // namespace velkor
