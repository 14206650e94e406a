// The one way the core reaches "the main thread": posted messages, processing
// pending messages (for waits and modal loops), and timers. The reader hands
// its arrivals over by Post (a bounded queue drained in slices). The Qt front
// end implements this with the application's event loop, the Win32 front end
// with posted window messages; tests use a deterministic queue.
#pragma once

#include <chrono>
#include <functional>
#include <utility>

namespace velkor {

class IMainThread {
public:
    using Task = std::function<void()>;
    using TimerId = int;

    virtual ~IMainThread() = default;

    // The window messages of the main window's own queue that a posted task
    // stands for.
    enum class Message : unsigned {
        ModalEdit = 1124,      // WM_USER + 100: open a settings dialog after the dispatch
        DispatchPacket = 1125, // WM_USER + 101: dispatch the packet just received
    };

    // Queues `task` to run later on the main thread. Every task runs in
    // posting order, whichever way it was posted.
    virtual void Post(Task task) = 0;

    // The same for a task that is one of the window's own messages; a bridge
    // on a toolkit with numbered window messages posts it as that message.
    virtual void PostWindowMessage(Message message, Task task) {
        (void)message;
        Post(std::move(task));
    }

    // Main thread only: runs every task pending now, and the timers that are due.
    virtual void ProcessMessages() = 0;

    // Main thread only: keeps processing messages for `duration`.
    virtual void ProcessMessagesFor(std::chrono::milliseconds duration) = 0;

    // Repeating timer on the main thread; returns an id for StopTimer.
    virtual TimerId StartTimer(std::chrono::milliseconds interval, Task task) = 0;
    virtual void StopTimer(TimerId id) = 0;
};

} // namespace velkor
