// The main-thread bridge on Qt's event loop: posted tasks are queued calls on
// the GUI thread, waits run a nested event loop and timers are QTimers.
#pragma once

#include "session/MainThread.h"

#include <QObject>

#include <map>

class QTimer;

namespace velkor {

class QtMainThread final : public QObject, public IMainThread {
    Q_OBJECT

public:
    // Create it on the GUI thread: that thread becomes the main thread.
    explicit QtMainThread(QObject* parent = nullptr);

    void Post(Task task) override;
    void ProcessMessages() override;
    void ProcessMessagesFor(std::chrono::milliseconds duration) override;
    TimerId StartTimer(std::chrono::milliseconds interval, Task task) override;
    void StopTimer(TimerId id) override;

private:
    std::map<TimerId, QTimer*> timers_;
    TimerId nextTimer_ = 1;
};

} // namespace velkor
