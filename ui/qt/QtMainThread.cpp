#include "ui/qt/QtMainThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace velkor {

QtMainThread::QtMainThread(QObject* parent) : QObject(parent) {
}

void QtMainThread::Post(Task task) {
    // A queued call keeps posting order and is dropped if this object dies first.
    QMetaObject::invokeMethod(
        this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
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

} // namespace velkor
