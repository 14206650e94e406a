// A deterministic main-thread bridge for tests and toolkit-free programs: one
// plain queue of posted tasks, run in order by whichever
// thread created the object when it calls ProcessMessages. Timers run on the
// same thread from ProcessMessages, against either the steady clock or a
// manual clock that only AdvanceClock moves.
#pragma once

#include "session/MainThread.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace velkor {

class QueuedMainThread final : public IMainThread {
public:
    enum class Clock { Steady, Manual };
    using TimePoint = std::chrono::steady_clock::time_point;

    // The calling thread becomes the main thread.
    explicit QueuedMainThread(Clock clock = Clock::Steady);
    QueuedMainThread(const QueuedMainThread&) = delete;
    QueuedMainThread& operator=(const QueuedMainThread&) = delete;

    void Post(Task task) override;
    void ProcessMessages() override;
    // Steady clock: processes messages as they come until `duration` has
    // passed. Manual clock: processes messages, then moves the clock on by
    // `duration`, firing the timers that fall due on the way, in time order.
    void ProcessMessagesFor(std::chrono::milliseconds duration) override;
    TimerId StartTimer(std::chrono::milliseconds interval, Task task) override;
    void StopTimer(TimerId id) override;

    // Main thread: processes messages until `done` returns true (checked after
    // every batch) or `timeout` of steady time has passed; returns `done`().
    bool ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Manual clock only (ignored otherwise): same as ProcessMessagesFor.
    void AdvanceClock(std::chrono::milliseconds duration);
    TimePoint Now() const;

    // Any thread: tasks waiting to run.
    std::size_t PendingCount() const;
    bool IsMainThread() const { return std::this_thread::get_id() == main_id_; }

private:
    struct Timer {
        std::chrono::milliseconds interval;
        TimePoint due;
        std::shared_ptr<Task> task;
    };

    // Runs the tasks queued when it was called; returns how many ran.
    std::size_t RunQueued();
    // Fires every timer due at `now`, earliest first; returns how many fired.
    std::size_t FireTimers(TimePoint now);
    // The earliest timer due time, or `limit` when none is earlier.
    TimePoint NextDue(TimePoint limit) const;
    // Steady clock: waits until something is queued or `until` passes.
    void WaitForWork(TimePoint until);

    const Clock clock_;
    const std::thread::id main_id_;
    mutable std::mutex mutex_;
    std::condition_variable work_; // something was queued
    std::deque<Task> queue_;
    std::map<TimerId, Timer> timers_;
    TimerId next_timer_ = 1;
    TimePoint manual_now_{};
};

} // namespace velkor
