// The main window's procedure: commands and notifications of the controls,
// hints in the status bar, colours, popup menus, the splitter, resolution
// changes, the refresh timer and closing.
#include "ui/win32/MainWindowView.h"

#include "ui/main/CommandLine.h"
#include "ui/win32/PopupMenu.h"
#include "ui/win32/Win32Colour.h"
#include "ui/win32/Win32Text.h"

#include <commctrl.h>
#include <windowsx.h>

namespace velkor {

namespace {

#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// Sizes at 96 dots per inch.
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 492;

} // namespace

void MainWindowView::SetStatusText(const std::wstring& text) {
    if (text != hint_) {
        hint_ = text;
        SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(hint_.c_str()));
    }
}

void MainWindowView::ShowHintOf(HWND control) {
    const TControl* model = binder_->ModelOf(control);
    if (model == nullptr && control != nullptr) {
        model = binder_->ModelOf(GetParent(control)); // the edit box inside a combo box
    }
    SetStatusText(model != nullptr ? Wide(model->Hint()) : std::wstring());
}

void MainWindowView::ShowAbout() {
    MessageBoxW(window_, Wide(AboutText()).c_str(), L"About Velkor", MB_OK | MB_ICONINFORMATION);
}

HBRUSH MainWindowView::Brush(COLORREF colour) {
    HBRUSH& brush = brushes_[colour];
    if (brush == nullptr) {
        brush = CreateSolidBrush(colour);
    }
    return brush;
}

LRESULT MainWindowView::ColourControl(HWND control, HDC dc) {
    for (const HWND candidate : {control, GetParent(control)}) {
        if (const auto text = textColours_.find(candidate); text != textColours_.end()) {
            SetTextColor(dc, text->second);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        if (const auto back = backgrounds_.find(candidate); back != backgrounds_.end()) {
            const TColour colour = back->second->Colour();
            if (colour >= kSystemColour) {
                return 0;
            }
            SetBkColor(dc, ModelColour(colour));
            return reinterpret_cast<LRESULT>(Brush(ModelColour(colour)));
        }
    }
    return 0;
}

LRESULT CALLBACK MainWindowView::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindowView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ == nullptr || !self->attached_) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT MainWindowView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const auto found = commands_.find(LOWORD(wParam));
        if (found != commands_.end() && !updating_) {
            const auto handler = found->second; // the handler may rebuild the window's state
            handler(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        }
        return 0;
    }
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        if (table_->Notify(header, result)) {
            return result;
        }
        if (header.hwndFrom == status_ && header.code == NM_CLICK &&
            reinterpret_cast<const NMMOUSE&>(header).dwItemSpec == 1) {
            ShowAbout();
        }
        return 0;
    }
    case WM_HSCROLL:
        if (const auto bar = trackBars_.find(reinterpret_cast<HWND>(lParam));
            bar != trackBars_.end()) {
            bar->second->SetPosition(static_cast<int>(SendMessageW(bar->first, TBM_GETPOS, 0, 0)));
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (const LRESULT brush =
                ColourControl(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
            return brush;
        }
        break;
    case WM_CONTEXTMENU:
        if (const auto popup = contextMenus_.find(reinterpret_cast<HWND>(wParam));
            popup != contextMenus_.end()) {
            const auto handler = popup->second;
            handler();
            return 0;
        }
        break;
    case WM_SETCURSOR: {
        const auto over = reinterpret_cast<HWND>(wParam);
        if (over != window_) {
            ShowHintOf(over);
            return FALSE; // the control keeps its own cursor
        }
        SetStatusText({});
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(window_, &at);
        if (PtInRect(&splitter_, at)) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENS)));
            return TRUE;
        }
        break;
    }
    case WM_MENUSELECT:
        SetStatusText(MenuSelectHint(wParam, lParam));
        return 0;
    case WM_EXITMENULOOP:
        SetStatusText({});
        return 0;
    case WM_LBUTTONDOWN: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (PtInRect(&splitter_, at)) {
            StartDrag(at.y);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_) {
            const int wanted = GET_Y_LPARAM(lParam) - dragOffset_ - pagesTop_;
            pagesHeight96_ = MulDiv(wanted, 96, static_cast<int>(dpi_));
            Layout();
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            ReleaseCapture();
            // Kept as far as the window let the pages grow.
            RECT page;
            GetWindowRect(discoveryPage_, &page);
            pagesHeight96_ = MulDiv(page.bottom - page.top, 96, static_cast<int>(dpi_));
        }
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {Scale(kMinWidth, dpi_), Scale(kMinHeight, dpi_)};
        return 0;
    }
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ApplyFonts(HIWORD(wParam));
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kRefreshTimer) {
            KillTimer(window_, kRefreshTimer);
            refreshQueued_ = false;
            Synchronize();
            return 0;
        }
        break;
    case kDeferredMessage: {
        std::vector<std::function<void()>> tasks;
        tasks.swap(deferred_);
        for (const auto& task : tasks) {
            task();
        }
        return 0;
    }
    case WM_HELP:
        ShowAbout();
        return TRUE;
    case WM_CLOSE:
        RememberPlace();
        ShowWindow(window_, SW_HIDE);
        if (closed_) {
            closed_();
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindowView::StartDrag(int y) {
    dragging_ = true;
    dragOffset_ = y - splitter_.top;
    SetCapture(window_);
}

} // namespace velkor
