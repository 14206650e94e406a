// The main-thread bridge on the Win32 message queue. Posted tasks travel as
// posted window messages to a message-only window of the main thread: the
// window's own messages 1124 and 1125 as those numbers, every other task (the
// reader's synchronised calls) as a private one. A message of a number that
// is still waiting in the queue is not posted again: the one waiting runs
// every task queued by the time it is taken, in posting order. During a flood
// of answers that spares a post and a queue round trip per packet, which cost
// Wine a server call each, and keeps the queue short, so other posted
// messages do not wait behind thousands of spent ones. Modal dialogs, message
// boxes and menus run their own loops over the same queue, so tasks keep
// running while they are open. Waits pump the queue; timers are window timers.
#pragma once

#include "session/MainThread.h"

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace velkor {

class Win32MainThread final : public IMainThread {
public:
    // The message of tasks posted without a window message of their own.
    static constexpr UINT kTaskMessage = WM_APP + 1;

    // The calling thread becomes the main thread.
    Win32MainThread();
    // Tasks still queued are dropped without running.
    ~Win32MainThread() override;
    Win32MainThread(const Win32MainThread&) = delete;
    Win32MainThread& operator=(const Win32MainThread&) = delete;

    void Post(Task task) override;
    void PostWindowMessage(Message message, Task task) override;
    void ProcessMessages() override;
    void ProcessMessagesFor(std::chrono::milliseconds duration) override;
    TimerId StartTimer(std::chrono::milliseconds interval, Task task) override;
    void StopTimer(TimerId id) override;

    // The message-only window the tasks are posted to.
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Enqueue(UINT message, Task task);
    // Runs the tasks queued now, in order. A message whose task already ran
    // with an earlier one finds nothing left, so a refused post loses no task.
    void RunQueued();
    void Tick(UINT_PTR id);

    HWND window_ = nullptr;
    std::mutex mutex_;
    std::deque<Task> queue_;
    std::set<UINT> waiting_; // the numbers of the messages posted and not yet taken
    std::map<TimerId, std::shared_ptr<Task>> timers_;
    TimerId nextTimer_ = 1;
};

} // namespace velkor
