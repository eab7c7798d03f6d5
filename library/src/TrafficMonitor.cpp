#include "TrafficMonitor.h"

#include <chrono>
#include <map>
#include <mutex>

namespace ravo_lib {

std::atomic<bool> trafficMonitorActive{false};

namespace {

struct Monitor {
    void (*callback)(const RavoTrafficEvent* event, void* user) = nullptr;
    void* user = nullptr;
};

// Held while the callback runs, so that a caller replacing the monitor knows the old one is done.
std::mutex& monitorMutex() {
    static std::mutex mutex;
    return mutex;
}

Monitor& monitor() {
    static Monitor current;
    return current;
}

// Written by the port exports, which never run while another thread exchanges frames.
std::map<const SerialPort*, int>& portNumbers() {
    static std::map<const SerialPort*, int> numbers;
    return numbers;
}

int outcomeOf(const SerialPort& port, std::size_t moved, bool complete) {
    if (complete) return RAVO_TRAFFIC_COMPLETE;
    if (port.lineState() == LineState::Lost) return RAVO_TRAFFIC_PORT_LOST;
    return moved == 0 ? RAVO_TRAFFIC_NOTHING : RAVO_TRAFFIC_SHORT;
}

void deliver(const SerialPort& port, int direction, const std::uint8_t* bytes, std::size_t count, std::size_t awaited,
             bool complete) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto number = portNumbers().find(&port);
    RavoTrafficEvent event{};
    event.direction = direction;
    event.port = number == portNumbers().end() ? 0 : number->second;
    event.bytes = bytes;
    event.count = static_cast<int>(count);
    event.timestampUs = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    event.outcome = outcomeOf(port, count, complete);
    event.awaited = static_cast<int>(awaited);
    std::lock_guard<std::mutex> guard(monitorMutex());
    if (monitor().callback) monitor().callback(&event, monitor().user);
}

}  // namespace

void notePortNumber(const SerialPort& port, int number) { portNumbers()[&port] = number; }

void deliverSent(const SerialPort& port, const std::uint8_t* bytes, std::size_t awaited, std::size_t sent) {
    deliver(port, RAVO_TRAFFIC_SENT, bytes, sent, awaited, sent == awaited);
}

void deliverReceived(const SerialPort& port, const std::uint8_t* buffer, std::size_t awaited, bool complete) {
    std::size_t count = awaited;
    if (!complete)
        while (count > 0 && buffer[count - 1] == 0) --count;
    deliver(port, RAVO_TRAFFIC_RECEIVED, buffer, count, awaited, complete);
}

}  // namespace ravo_lib

extern "C" void Ravo_SetTrafficMonitor(void (*callback)(const RavoTrafficEvent* event, void* user), void* user) {
    using namespace ravo_lib;
    std::lock_guard<std::mutex> guard(monitorMutex());
    monitor() = {callback, user};
    trafficMonitorActive.store(callback != nullptr, std::memory_order_relaxed);
}
