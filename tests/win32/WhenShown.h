// Plays the user in a window that a modal loop shows (a message box, a menu,
// a dialog): once `find` gives a window, `act` runs with it, from a timer
// that the modal loop dispatches. After two seconds without one the wait
// ends with a test failure, and whatever menu is open is closed.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

namespace velkor {

class WhenShown {
public:
    WhenShown(std::function<HWND()> find, std::function<void(HWND)> act)
        : find_(std::move(find)), act_(std::move(act)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~WhenShown() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
        EXPECT_TRUE(done_) << "the window was not shown";
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        WhenShown* self = current_;
        if (self == nullptr || self->done_) {
            return;
        }
        if (const HWND shown = self->find_()) {
            self->done_ = true;
            self->act_(shown);
        } else if (++self->ticks_ > 100) {
            self->done_ = true;
            EndMenu();
        }
    }

    static inline WhenShown* current_ = nullptr;
    std::function<HWND()> find_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool done_ = false;
};

// Finds the top-level window of this class (and caption, unless nullptr).
inline std::function<HWND()> WindowOfClass(const wchar_t* windowClass, const wchar_t* caption) {
    return [windowClass, caption] { return FindWindowW(windowClass, caption); };
}

} // namespace velkor
