#include "session/ReaderArrivals.h"

#include <algorithm>
#include <utility>

namespace velkor {

ArrivalQueue::PushResult ArrivalQueue::Push(ReaderArrival arrival, bool mustKeep) {
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

std::optional<ReaderArrival> ArrivalQueue::Take() {
    std::lock_guard lock(mutex_);
    if (arrivals_.empty()) {
        draining_ = false;
        return std::nullopt;
    }
    ReaderArrival arrival = std::move(arrivals_.front());
    arrivals_.pop_front();
    return arrival;
}

std::size_t ArrivalQueue::TakeDropped() {
    std::lock_guard lock(mutex_);
    return std::exchange(dropped_, 0);
}

std::size_t ArrivalQueue::HighWater() const {
    std::lock_guard lock(mutex_);
    return highWater_;
}

std::size_t ArrivalQueue::DroppedTotal() const {
    std::lock_guard lock(mutex_);
    return droppedTotal_;
}

bool ArrivalQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return arrivals_.empty();
}

} // namespace velkor
