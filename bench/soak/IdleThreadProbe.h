// How late a thread that does nothing but sleep 10 ms at a time wakes up: the machine's own
// stalls (a loaded machine), to set beside the window's.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

class IdleThreadProbe {
public:
    IdleThreadProbe() : thread_([this] { run(); }) {}
    ~IdleThreadProbe() {
        stop_ = true;
        thread_.join();
    }
    IdleThreadProbe(const IdleThreadProbe&) = delete;
    IdleThreadProbe& operator=(const IdleThreadProbe&) = delete;

    // The worst lateness since the last call, in milliseconds.
    double takeWorstMs() { return worstUs_.exchange(0) / 1000.0; }

private:
    void run() {
        using Clock = std::chrono::steady_clock;
        constexpr auto kInterval = std::chrono::milliseconds(10);
        while (!stop_) {
            const auto asked = Clock::now() + kInterval;
            std::this_thread::sleep_for(kInterval);
            const auto lateUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - asked).count();
            long worst = worstUs_.load();
            while (lateUs > worst && !worstUs_.compare_exchange_weak(worst, lateUs)) {
            }
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<long> worstUs_{0};
    std::thread thread_;
};
