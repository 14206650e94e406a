#include "ui/win32/Win32MainThread.h"

#include "ui/win32/MessagePump.h"

namespace velkor {

namespace {

constexpr const wchar_t* kClassName = L"VelkorMainThread";

void RegisterBridgeClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass); // fails harmlessly once registered
}

} // namespace

Win32MainThread::Win32MainThread() {
    RegisterBridgeClass(WindowProc);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32MainThread::~Win32MainThread() {
    for (const auto& [id, task] : timers_) {
        KillTimer(window_, static_cast<UINT_PTR>(id));
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void Win32MainThread::Post(Task task) {
    Enqueue(kTaskMessage, std::move(task));
}

void Win32MainThread::PostWindowMessage(Message message, Task task) {
    Enqueue(static_cast<UINT>(message), std::move(task));
}

void Win32MainThread::Enqueue(UINT message, Task task) {
    bool post = false;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
        post = waiting_.insert(message).second;
    }
    if (post && !PostMessageW(window_, message, 0, 0)) {
        // A full queue (10,000 messages) refuses the post; the task runs with
        // the next message that arrives, and the next task tries again.
        std::lock_guard lock(mutex_);
        waiting_.erase(message);
    }
}

void Win32MainThread::RunQueued() {
    size_t count;
    {
        std::lock_guard lock(mutex_);
        count = queue_.size();
        // Tasks posted from now on wait for messages of their own, so the
        // window's input, paint and timers get a turn between the batches.
        waiting_.clear();
    }
    for (; count > 0; --count) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                return;
            }
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
}

void Win32MainThread::ProcessMessages() {
    DispatchPending();
}

void Win32MainThread::ProcessMessagesFor(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (DispatchPending()) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

IMainThread::TimerId Win32MainThread::StartTimer(std::chrono::milliseconds interval, Task task) {
    const TimerId id = nextTimer_++;
    timers_[id] = std::make_shared<Task>(std::move(task));
    SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(interval.count()), nullptr);
    return id;
}

void Win32MainThread::StopTimer(TimerId id) {
    if (timers_.erase(id) != 0) {
        KillTimer(window_, static_cast<UINT_PTR>(id));
    }
}

void Win32MainThread::Tick(UINT_PTR id) {
    const auto found = timers_.find(static_cast<TimerId>(id));
    if (found == timers_.end()) {
        return;
    }
    const std::shared_ptr<Task> task = found->second; // the tick may stop its own timer
    (*task)();
}

LRESULT CALLBACK Win32MainThread::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<Win32MainThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
        switch (message) {
        case kTaskMessage:
        case static_cast<UINT>(Message::ModalEdit):
        case static_cast<UINT>(Message::DispatchPacket):
            self->RunQueued();
            return 0;
        case WM_TIMER:
            self->Tick(wParam);
            return 0;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace velkor
