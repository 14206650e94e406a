// The one way the core reaches "the main thread": posted messages, processing
// pending messages (for waits and modal loops), and timers. A call that another
// thread runs on the main thread and waits for is built on Post
// (SynchronizedCaller). The Qt front end implements this with the
// application's event loop; tests use a deterministic queue.
#pragma once

#include <chrono>
#include <functional>

class IMainThread {
public:
    using Task = std::function<void()>;
    using TimerId = int;

    virtual ~IMainThread() = default;

    // Queues `task` to run later on the main thread, in posting order
    // (the window messages 1124 and 1125).
    virtual void Post(Task task) = 0;

    // Main thread only: runs every task pending now, and the timers that are due.
    virtual void ProcessMessages() = 0;

    // Main thread only: keeps processing messages for `duration`.
    virtual void ProcessMessagesFor(std::chrono::milliseconds duration) = 0;

    // Repeating timer on the main thread; returns an id for StopTimer.
    virtual TimerId StartTimer(std::chrono::milliseconds interval, Task task) = 0;
    virtual void StopTimer(TimerId id) = 0;
};
