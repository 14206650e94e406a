#include "ui/qt/QtMainThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

QtMainThread::QtMainThread(QObject* parent) : QObject(parent) {
}

QtMainThread::~QtMainThread() {
    Shutdown();
} // the timers go with their parent

void QtMainThread::Post(Task task) {
    // A queued call keeps posting order and is dropped if this object dies first.
    QMetaObject::invokeMethod(
        this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

bool QtMainThread::RunSynchronized(Task task) {
    if (QThread::currentThread() == thread()) {
        task();
        return true;
    }
    auto call = std::make_shared<SyncCall>();
    call->task = std::move(task);
    std::unique_lock lock(mutex_);
    if (shutDown_) {
        return false;
    }
    waiting_.insert(call);
    lock.unlock();
    Post([this, call] { RunSyncCall(call); });
    lock.lock();
    changed_.wait(lock, [&] { return call->done || call->cancelled; });
    waiting_.erase(call);
    return call->done;
}

void QtMainThread::RunSyncCall(const std::shared_ptr<SyncCall>& call) {
    {
        std::lock_guard lock(mutex_);
        if (call->cancelled) {
            return;
        }
    }
    call->task();
    {
        std::lock_guard lock(mutex_);
        call->done = true;
    }
    changed_.notify_all();
}

void QtMainThread::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        for (const auto& call : waiting_) {
            if (!call->done) {
                call->cancelled = true;
            }
        }
    }
    changed_.notify_all();
}

bool QtMainThread::IsShutDown() const {
    std::lock_guard lock(mutex_);
    return shutDown_;
}

void QtMainThread::ProcessMessages() {
    QCoreApplication::processEvents();
}

void QtMainThread::ProcessMessagesFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

IMainThread::TimerId QtMainThread::StartTimer(std::chrono::milliseconds interval, Task task) {
    auto* timer = new QTimer(this);
    timer->setInterval(interval);
    connect(timer, &QTimer::timeout, this, [task = std::move(task)] { task(); });
    timer->start();
    const TimerId id = nextTimer_++;
    timers_[id] = timer;
    return id;
}

void QtMainThread::StopTimer(TimerId id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) {
        return;
    }
    found->second->stop();
    found->second->deleteLater(); // it may be the timer whose tick is running now
    timers_.erase(found);
}
