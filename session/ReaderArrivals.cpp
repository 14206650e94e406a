#include "session/ReaderArrivals.h"

#include <algorithm>
#include <utility>

namespace velkor {

TArrivalQueue::PushResult TArrivalQueue::Push(TReaderArrival arrival, bool mustKeep) {
    std::lock_guard lock(mutex_);
    if (arrivals_.size() >= capacity_ && !mustKeep) {
        ++dropped_;
        ++droppedTotal_;
        return PushResult::Dropped;
    }
    arrivals_.push_back(std::move(arrival));
    highWater_ = std::max(highWater_, arrivals_.size());
    if (draining_) {
        return PushResult::Queued;
    }
    draining_ = true;
    return PushResult::QueuedFirst;
}

std::optional<TReaderArrival> TArrivalQueue::Take() {
    std::lock_guard lock(mutex_);
    if (arrivals_.empty()) {
        draining_ = false;
        return std::nullopt;
    }
    TReaderArrival arrival = std::move(arrivals_.front());
    arrivals_.pop_front();
    return arrival;
}

std::size_t TArrivalQueue::TakeDropped() {
    std::lock_guard lock(mutex_);
    return std::exchange(dropped_, 0);
}

std::size_t TArrivalQueue::HighWater() const {
    std::lock_guard lock(mutex_);
    return highWater_;
}

std::size_t TArrivalQueue::DroppedTotal() const {
    std::lock_guard lock(mutex_);
    return droppedTotal_;
}

bool TArrivalQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return arrivals_.empty();
}

} // namespace velkor
