#include "session/SynchronizedCaller.h"

#include <condition_variable>
#include <mutex>

namespace velkor {

namespace {

struct PendingCall {
    std::function<void()> call;
    bool taken = false; // claimed by the main thread
    bool done = false;
};

} // namespace

struct SynchronizedCaller::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::shared_ptr<PendingCall> pending;
    bool closed = false;

    // Main thread: runs `entry` unless it already ran or the caller closed.
    void Run(const std::shared_ptr<PendingCall>& entry) {
        {
            std::lock_guard lock(mutex);
            if (closed || entry->taken) {
                return;
            }
            entry->taken = true;
        }
        try {
            entry->call();
        } catch (...) {
            // The handler's failure stays with its own event.
        }
        {
            std::lock_guard lock(mutex);
            entry->done = true;
        }
        changed.notify_all();
    }
};

SynchronizedCaller::SynchronizedCaller(IMainThread& main_thread)
    : main_thread_(main_thread), shared_(std::make_shared<Shared>()) {
}

SynchronizedCaller::~SynchronizedCaller() {
    Close();
}

bool SynchronizedCaller::Call(std::function<void()> call) {
    auto entry = std::make_shared<PendingCall>();
    entry->call = std::move(call);
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->closed) {
            return false;
        }
        shared_->pending = entry;
    }
    shared_->changed.notify_all();
    main_thread_.Post([shared = shared_, entry] { shared->Run(entry); });

    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait(lock, [&] { return entry->done || shared_->closed; });
    shared_->pending.reset();
    return entry->done;
}

bool SynchronizedCaller::RunPending(std::chrono::milliseconds timeout) {
    std::shared_ptr<PendingCall> entry;
    {
        std::unique_lock lock(shared_->mutex);
        shared_->changed.wait_for(lock, timeout, [&] {
            return shared_->closed || (shared_->pending && !shared_->pending->taken);
        });
        if (shared_->closed || !shared_->pending || shared_->pending->taken) {
            return false;
        }
        entry = shared_->pending;
    }
    shared_->Run(entry);
    return true;
}

void SynchronizedCaller::Close() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
    }
    shared_->changed.notify_all();
}

} // namespace velkor
