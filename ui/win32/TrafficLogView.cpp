#include "ui/win32/TrafficLogView.h"

#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowNames.h"

#include <commctrl.h>

namespace velkor {

namespace {

constexpr UINT_PTR kKeyFilterId = 1;
constexpr DWORD kFloodIntervalMs = 250;

int TextLength(HWND edit) {
    return GetWindowTextLengthW(edit);
}

DWORD LastLineStart(HWND edit) {
    const auto lines = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
    return static_cast<DWORD>(SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0));
}

} // namespace

TrafficLogView::TrafficLogView(MemoLog& log, HWND parent, std::function<void()> scheduleRefresh)
    : log_(log), scheduleRefresh_(std::move(scheduleRefresh)) {
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                                ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                            0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowName(edit_, log_.Name());
    SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0); // no limit but memory
    SetWindowSubclass(edit_, KeyFilter, kKeyFilterId, 0);
    for (const std::string& line : log_.Lines()) {
        pending_.push_back(Wide(line));
    }
    Flush();
    log_.SetAppendListener([this](const std::string& line, size_t) {
        pending_.push_back(Wide(line));
        if (pending_.size() > MemoLog::kMaxLines) {
            pending_.pop_front(); // would scroll out of the log at once
        }
        scheduleRefresh_();
    });
}

TrafficLogView::~TrafficLogView() {
    Detach();
}

void TrafficLogView::Detach() {
    if (attached_) {
        attached_ = false;
        log_.SetAppendListener({});
        RemoveWindowSubclass(edit_, KeyFilter, kKeyFilterId);
    }
}

void TrafficLogView::Flush() {
    if (pending_.empty()) {
        return;
    }
    if (pending_.size() >= MemoLog::kMaxLines) {
        // A flood: the box shows a new set of lines at most a few times a
        // second, since laying out 100 long lines costs an edit box tens of
        // milliseconds (up to 190 ms under Wine), which the refreshes of the
        // rest of the window and the user's input would wait for.
        if (GetTickCount() - lastReplaced_ < kFloodIntervalMs) {
            scheduleRefresh_();
            return;
        }
        lastReplaced_ = GetTickCount();
        // Every line shown now is new: one text for the box instead of an
        // append and a cut, which cost the edit box a scan of its text each.
        std::wstring text;
        for (size_t n = 0; n < pending_.size(); ++n) {
            text += (n > 0 ? L"\r\n" : L"") + pending_[n];
        }
        pending_.clear();
        SetWindowTextW(edit_, text.c_str());
        const DWORD start = LastLineStart(edit_);
        SendMessageW(edit_, EM_SETSEL, start, start);
        SendMessageW(edit_, WM_VSCROLL, SB_BOTTOM, 0);
        return;
    }
    std::wstring text = TextLength(edit_) > 0 ? L"\r\n" : L"";
    for (size_t n = 0; n < pending_.size(); ++n) {
        text += (n > 0 ? L"\r\n" : L"") + pending_[n];
    }
    pending_.clear();

    // The user's selection stays on the text it was on, unless the caret was
    // on the last line: then it follows the new lines.
    DWORD selStart = 0;
    DWORD selEnd = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    const auto end = static_cast<DWORD>(TextLength(edit_));
    const bool following = selStart == selEnd && selStart >= LastLineStart(edit_);

    SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(edit_, EM_SETSEL, end, end);
    SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    const auto lines = static_cast<int>(SendMessageW(edit_, EM_GETLINECOUNT, 0, 0));
    DWORD cut = 0;
    if (lines > static_cast<int>(MemoLog::kMaxLines)) {
        cut = static_cast<DWORD>(
            SendMessageW(edit_, EM_LINEINDEX,
                         static_cast<WPARAM>(lines - static_cast<int>(MemoLog::kMaxLines)), 0));
        SendMessageW(edit_, EM_SETSEL, 0, cut);
        SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    if (following) {
        // At the start of the last line, so the box does not scroll sideways
        // to the end of a long one.
        const DWORD start = LastLineStart(edit_);
        SendMessageW(edit_, EM_SETSEL, start, start);
    } else {
        SendMessageW(edit_, EM_SETSEL, selStart > cut ? selStart - cut : 0,
                     selEnd > cut ? selEnd - cut : 0);
    }
    SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
    SendMessageW(edit_, WM_VSCROLL, SB_BOTTOM, 0);
    if (following) {
        SendMessageW(edit_, WM_HSCROLL, SB_LEFT, 0);
    }
    InvalidateRect(edit_, nullptr, TRUE);
}

LRESULT CALLBACK TrafficLogView::KeyFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (message == WM_KEYDOWN && wParam == 'A' && ctrl) {
        SendMessageW(window, EM_SETSEL, 0, -1);
        return 0;
    }
    if (message == WM_CHAR && wParam == 1) { // the character Ctrl+A makes
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace velkor
