// Hands calls from a worker thread to the main thread and waits for each one,
// so that the worker's records stay stable while a handler runs and nothing is
// reordered. The main thread may run the pending call itself while it waits
// for the worker (so neither thread waits on the other), and Close drops the
// pending call and refuses later ones, so a worker can always be joined.
#pragma once

#include "session/MainThread.h"

#include <chrono>
#include <functional>
#include <memory>

namespace velkor {

class SynchronizedCaller {
public:
    explicit SynchronizedCaller(IMainThread& main_thread);
    ~SynchronizedCaller(); // Close
    SynchronizedCaller(const SynchronizedCaller&) = delete;
    SynchronizedCaller& operator=(const SynchronizedCaller&) = delete;

    // Worker thread: runs `call` on the main thread and returns when it has
    // run (true), or at once when closed (false, `call` never runs). An
    // exception from `call` is dropped: it loses only its own call.
    bool Call(std::function<void()> call);

    // Main thread: waits up to `timeout` for a call to be pending and runs
    // it; returns whether one ran.
    bool RunPending(std::chrono::milliseconds timeout = std::chrono::milliseconds(0));

    // Any thread: the waiting worker returns false; later calls return false at once.
    void Close();

private:
    struct Shared;
    IMainThread& main_thread_;
    std::shared_ptr<Shared> shared_; // outlives this object in posted tasks
};

} // namespace velkor
