#include "supervisor/StartPool.h"

namespace torvane {

StartPool::StartPool(unsigned helpers) {
    helpers_.reserve(helpers);
    for (unsigned index = 0; index < helpers; ++index) {
        helpers_.emplace_back([this] { Help(); });
    }
}

StartPool::~StartPool() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    round_begun_.notify_all();
    for (auto& helper : helpers_) {
        helper.join();
    }
}

void StartPool::ForEach(std::size_t count, const Task& task) {
    std::unique_lock lock(mutex_);
    task_ = &task;
    count_ = count;
    next_ = 0;
    finished_ = 0;
    ++round_;
    if (count > 1) {
        round_begun_.notify_all();
    }
    RunTasks(lock);
    round_done_.wait(lock, [this] { return finished_ == count_; });
    task_ = nullptr;
}

void StartPool::RunTasks(std::unique_lock<std::mutex>& lock) {
    while (task_ != nullptr && next_ < count_) {
        const std::size_t index = next_++;
        const Task& task = *task_;
        lock.unlock();
        task(index);
        lock.lock();
        if (++finished_ == count_) {
            round_done_.notify_all();
        }
    }
}

void StartPool::Help() {
    std::unique_lock lock(mutex_);
    std::uint64_t seen = 0;
    for (;;) {
        round_begun_.wait(lock, [&] { return ending_ || round_ != seen; });
        if (ending_) {
            return;
        }
        seen = round_;
        RunTasks(lock);
    }
}

} // namespace torvane
