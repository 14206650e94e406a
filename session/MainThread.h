// The one way the core reaches "the main thread": posted messages, calls that
// another thread runs on the main thread and waits for, processing pending
// messages (for waits and modal loops), and timers. The Qt front end implements
// it with the application's event loop; tests use a deterministic queue.
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

    // Runs `task` on the main thread and returns when it has run. Called from
    // another thread; called on the main thread it runs `task` at once.
    // Returns false without running it when the bridge is shutting down.
    virtual bool RunSynchronized(Task task) = 0;

    // Main thread only: runs every posted task and synchronised call pending now.
    virtual void ProcessMessages() = 0;

    // Main thread only: keeps processing messages for `duration`.
    virtual void ProcessMessagesFor(std::chrono::milliseconds duration) = 0;

    // Repeating timer on the main thread; returns an id for StopTimer.
    virtual TimerId StartTimer(std::chrono::milliseconds interval, Task task) = 0;
    virtual void StopTimer(TimerId id) = 0;
};
