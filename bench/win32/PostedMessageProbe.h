// How long a message posted to the main thread waits before its window
// procedure runs: a thread posts one to a message-only window every 5 ms (the
// next once the last was taken), the procedure notes how long it waited. The
// probe queues behind whatever the reader posted before it, so this is the
// delay the window's logic runs behind the arrivals, where the timer of the
// benchmark measures how long the loop goes without a turn.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace velkor::bench {

class PostedMessageProbe {
public:
    PostedMessageProbe() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassExW(&windowClass); // fails harmlessly once registered
        window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        poster_ = std::thread([this] { Post(); });
    }
    ~PostedMessageProbe() {
        stop_ = true;
        poster_.join();
        DestroyWindow(window_); // a probe still queued goes with the window
    }
    PostedMessageProbe(const PostedMessageProbe&) = delete;
    PostedMessageProbe& operator=(const PostedMessageProbe&) = delete;

    double LongestWaitMs() const {
        return std::chrono::duration<double, std::milli>(longest_).count();
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr const wchar_t* kClassName = L"VelkorBenchProbe";
    static constexpr UINT kProbe = WM_APP + 7;

    void Post() {
        while (!stop_) {
            if (postedAt_.load() == Clock::time_point{}) {
                postedAt_ = Clock::now();
                PostMessageW(window_, kProbe, 0, 0);
            }
            Sleep(5);
        }
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self =
            reinterpret_cast<PostedMessageProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == kProbe) {
            self->longest_ = std::max(self->longest_, Clock::now() - self->postedAt_.load());
            self->postedAt_ = Clock::time_point{};
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<Clock::time_point> postedAt_{};
    Clock::duration longest_{};
    std::thread poster_;
};

} // namespace velkor::bench
