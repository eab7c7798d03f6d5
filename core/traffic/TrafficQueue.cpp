#include "core/traffic/TrafficQueue.h"

namespace kelvane {

void TrafficQueue::Push(const RavoTrafficEvent& event) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (events_.size() >= capacity_) {
        ++dropped_;
        return;
    }
    events_.push_back(TrafficTransfer::FromEvent(event));
}

std::vector<TrafficTransfer> TrafficQueue::TakeAll() {
    std::deque<TrafficTransfer> taken;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        taken.swap(events_);
    }
    return {std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end())};
}

std::uint64_t TrafficQueue::Dropped() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return dropped_;
}

void TrafficQueue::Receive(const RavoTrafficEvent* event, void* queue) {
    static_cast<TrafficQueue*>(queue)->Push(*event);
}

}  // namespace kelvane
