// The main-thread bridge on Qt's event loop: posted tasks are queued calls on
// the GUI thread, synchronised calls block the calling thread until the GUI
// thread has run them, waits run a nested event loop and timers are QTimers.
#pragma once

#include "session/MainThread.h"

#include <QObject>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>

class QTimer;

class QtMainThread final : public QObject, public IMainThread {
    Q_OBJECT

public:
    // Create it on the GUI thread: that thread becomes the main thread.
    explicit QtMainThread(QObject* parent = nullptr);
    ~QtMainThread() override; // Shutdown

    void Post(Task task) override;
    // From another thread: returns false at once, without running `task`, once
    // Shutdown has begun, and a call waiting at that moment is released.
    bool RunSynchronized(Task task) override;
    void ProcessMessages() override;
    void ProcessMessagesFor(std::chrono::milliseconds duration) override;
    TimerId StartTimer(std::chrono::milliseconds interval, Task task) override;
    void StopTimer(TimerId id) override;

    // Any thread: refuses later synchronised calls and releases waiting ones.
    void Shutdown();
    bool IsShutDown() const;

private:
    struct SyncCall {
        Task task;
        bool done = false;
        bool cancelled = false;
    };

    void RunSyncCall(const std::shared_ptr<SyncCall>& call);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::shared_ptr<SyncCall>> waiting_;
    bool shutDown_ = false;

    std::map<TimerId, QTimer*> timers_;
    TimerId nextTimer_ = 1;
};
