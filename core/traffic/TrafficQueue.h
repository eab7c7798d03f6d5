// Carries the library's traffic events from the exchanging thread to a reader: a bounded
// queue whose Push never waits on the reader and drops (and counts) what it cannot keep.
#pragma once

#include "core/traffic/TrafficDecoder.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace kelvane {

class TrafficQueue {
public:
    explicit TrafficQueue(std::size_t capacity) : capacity_(capacity) {}

    // Copies the event; drops it when the queue is full.
    void Push(const RavoTrafficEvent& event);
    // Everything queued, oldest first, and empties the queue.
    std::vector<TrafficTransfer> TakeAll();
    // How many events were dropped since the queue was made.
    std::uint64_t Dropped() const;

    // The callback for Ravo_SetTrafficMonitor with a TrafficQueue as its user pointer.
    static void Receive(const RavoTrafficEvent* event, void* queue);

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<TrafficTransfer> events_;
    std::uint64_t dropped_ = 0;
};

}  // namespace kelvane
