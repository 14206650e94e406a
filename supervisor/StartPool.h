// Threads that start programs side by side. Each start waits for the system (on Linux until
// the new program has replaced its copy of the supervisor, which on a busy machine takes a
// scheduling round or more); side by side these waits overlap instead of adding up. The
// threads live as long as the pool: on Linux a program's parent-death signal follows the
// thread that started it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace torvane {

class StartPool {
public:
    using Task = std::function<void(std::size_t)>;

    // helpers: threads besides the caller's; with none, the caller runs every task.
    explicit StartPool(unsigned helpers);
    ~StartPool();
    StartPool(const StartPool&) = delete;
    StartPool& operator=(const StartPool&) = delete;

    // Runs task(0) ... task(count - 1), each once, on the pool's threads and the caller's;
    // returns when all have run.
    void ForEach(std::size_t count, const Task& task);

private:
    void Help();
    // Takes the round's tasks one by one until none is left.
    void RunTasks(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable round_begun_;
    std::condition_variable round_done_;
    const Task* task_ = nullptr;
    std::size_t count_ = 0;
    std::size_t next_ = 0;     // the next task to take
    std::size_t finished_ = 0; // tasks of the round that have run
    std::uint64_t round_ = 0;
    bool ending_ = false;
    std::vector<std::thread> helpers_;
};

} // namespace torvane
