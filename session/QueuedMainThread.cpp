#include "session/QueuedMainThread.h"

#include <algorithm>
#include <utility>

namespace velkor {

QueuedMainThread::QueuedMainThread(Clock clock)
    : clock_(clock), main_id_(std::this_thread::get_id()) {
}

void QueuedMainThread::Post(Task task) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    work_.notify_all();
}

std::size_t QueuedMainThread::RunQueued() {
    std::size_t count;
    {
        std::lock_guard lock(mutex_);
        count = queue_.size();
    }
    std::size_t ran = 0;
    for (; ran < count; ++ran) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                break;
            }
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
    return ran;
}

std::size_t QueuedMainThread::FireTimers(TimePoint now) {
    std::size_t fired = 0;
    for (;;) {
        std::shared_ptr<Task> task;
        {
            std::lock_guard lock(mutex_);
            auto due = std::min_element(timers_.begin(), timers_.end(), [](auto& a, auto& b) {
                return a.second.due < b.second.due;
            });
            if (due == timers_.end() || due->second.due > now) {
                return fired;
            }
            Timer& timer = due->second;
            timer.due += timer.interval;
            if (timer.due <= now) {
                // A timer that fell behind fires once, not once per missed interval.
                timer.due = now + timer.interval;
            }
            task = timer.task;
        }
        (*task)();
        ++fired;
    }
}

QueuedMainThread::TimePoint QueuedMainThread::NextDue(TimePoint limit) const {
    std::lock_guard lock(mutex_);
    for (const auto& [id, timer] : timers_) {
        limit = std::min(limit, timer.due);
    }
    return limit;
}

void QueuedMainThread::WaitForWork(TimePoint until) {
    std::unique_lock lock(mutex_);
    work_.wait_until(lock, until, [&] { return !queue_.empty(); });
}

void QueuedMainThread::ProcessMessages() {
    RunQueued();
    FireTimers(Now());
}

void QueuedMainThread::ProcessMessagesFor(std::chrono::milliseconds duration) {
    if (clock_ == Clock::Manual) {
        const TimePoint end = Now() + duration;
        ProcessMessages();
        for (;;) {
            // Fired timers are rescheduled after the current time, so this advances.
            const TimePoint next = NextDue(end);
            {
                std::lock_guard lock(mutex_);
                manual_now_ = next;
            }
            ProcessMessages();
            if (next == end) {
                return;
            }
        }
    }
    const TimePoint end = Now() + duration;
    for (;;) {
        ProcessMessages();
        const TimePoint now = Now();
        if (now >= end) {
            return;
        }
        WaitForWork(NextDue(end));
    }
}

bool QueuedMainThread::ProcessUntil(const std::function<bool()>& done,
                                    std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        ProcessMessages();
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) {
            return false;
        }
        // Short waits so that conditions changed by other threads are seen soon.
        WaitForWork(std::min(end, now + std::chrono::milliseconds(2)));
    }
}

void QueuedMainThread::AdvanceClock(std::chrono::milliseconds duration) {
    if (clock_ == Clock::Manual) {
        ProcessMessagesFor(duration);
    }
}

QueuedMainThread::TimePoint QueuedMainThread::Now() const {
    if (clock_ == Clock::Steady) {
        return std::chrono::steady_clock::now();
    }
    std::lock_guard lock(mutex_);
    return manual_now_;
}

IMainThread::TimerId QueuedMainThread::StartTimer(std::chrono::milliseconds interval, Task task) {
    interval = std::max(interval, std::chrono::milliseconds(1));
    const TimePoint due = Now() + interval;
    std::lock_guard lock(mutex_);
    const TimerId id = next_timer_++;
    timers_.emplace(id, Timer{interval, due, std::make_shared<Task>(std::move(task))});
    return id;
}

void QueuedMainThread::StopTimer(TimerId id) {
    std::lock_guard lock(mutex_);
    timers_.erase(id);
}

std::size_t QueuedMainThread::PendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

} // namespace velkor
