// What the reader thread hands to the main thread, and the bounded queue in
// between. The worker never waits for the window: it queues each arrival and
// goes on reading. When the window cannot keep up (a flooding controller),
// the queue stays at its capacity and the newest arrivals are dropped and
// counted, so memory stays bounded and the window stays responsive; the
// window is told how many were dropped.
#pragma once

#include "session/DiscoveryAnswer.h"
#include "session/ReaderRecords.h"

#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace velkor {

// One arrival, raised on the main thread in this order: the UDP datagram,
// the packet it carried (or one cut from the TCP stream), the discovery
// answer in that packet; or a TCP error alone.
struct ReaderArrival {
    std::optional<TRFIDReaderDatagram> datagram;
    std::optional<TRFIDReaderPacket> packet;
    std::optional<DiscoveryAnswer> answer;
    std::optional<std::string> error;
};

class ArrivalQueue {
public:
    enum class PushResult {
        Queued,      // a drain is already on its way
        QueuedFirst, // the queue was idle: the caller schedules a drain
        Dropped,     // full: the arrival is gone and counted
    };

    explicit ArrivalQueue(std::size_t capacity) : capacity_(capacity) {}

    // Worker. An arrival that must not be lost (a TCP error) is queued even
    // when the queue is full.
    PushResult Push(ReaderArrival arrival, bool mustKeep = false);
    // Main thread: the oldest arrival; nothing when the queue is empty, which
    // makes it idle again (the next Push asks for a drain).
    std::optional<ReaderArrival> Take();
    // Main thread: the arrivals dropped since the last call.
    std::size_t TakeDropped();

    std::size_t Capacity() const { return capacity_; }
    // The most arrivals that were ever waiting at once.
    std::size_t HighWater() const;
    // Every arrival dropped so far.
    std::size_t DroppedTotal() const;
    bool Empty() const;

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<ReaderArrival> arrivals_;
    bool draining_ = false;
    std::size_t dropped_ = 0;
    std::size_t droppedTotal_ = 0;
    std::size_t highWater_ = 0;
};

} // namespace velkor
