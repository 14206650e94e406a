// The traffic log (`memLog`) in a multi-line edit box: fixed-pitch font, both
// scroll bars, the newest 100 lines, scrolled to the bottom after each
// append, Ctrl+A selects the whole text. Lines appended in a burst are put in
// together on the next refresh. The box stays an ordinary editable one.
#pragma once

#include "ui/main/TrafficLog.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

namespace velkor {

class TrafficLogView {
public:
    // Creates the edit box as a child of `parent`; `scheduleRefresh` asks the
    // owner to call Flush soon.
    TrafficLogView(MemoLog& log, HWND parent, std::function<void()> scheduleRefresh);
    ~TrafficLogView();
    TrafficLogView(const TrafficLogView&) = delete;
    TrafficLogView& operator=(const TrafficLogView&) = delete;

    HWND Window() const { return edit_; }
    // Puts the lines appended since the last flush into the box.
    void Flush();
    // Stops following the log.
    void Detach();

private:
    static LRESULT CALLBACK KeyFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);

    MemoLog& log_;
    HWND edit_;
    std::function<void()> scheduleRefresh_;
    std::deque<std::wstring> pending_;
    DWORD lastReplaced_ = 0; // when a flood last replaced the whole text
    bool attached_ = true;
};

} // namespace velkor
