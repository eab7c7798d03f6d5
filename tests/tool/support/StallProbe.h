// How long the event loop of this thread is held: a 10 ms timer measures the gap between each
// of its runs and the one before; what a gap has beyond the 10 ms is a stall.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <vector>

class StallProbe {
public:
    static constexpr int kIntervalMs = 10;

    StallProbe() {
        probe_.setTimerType(Qt::PreciseTimer);
        probe_.setInterval(kIntervalMs);
        QObject::connect(&probe_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            stallsMs_.push_back(std::max(0.0, (now - last_) / 1e6 - kIntervalMs));
            last_ = now;
        });
    }
    void start() {
        stallsMs_.clear();
        clock_.start();
        last_ = 0;
        probe_.start();
    }
    void stop() { probe_.stop(); }

    double longestMs() const { return stallsMs_.empty() ? 0 : *std::max_element(stallsMs_.begin(), stallsMs_.end()); }
    // The stall that `fraction` (0..1) of all gaps do not exceed.
    double percentileMs(double fraction) const {
        if (stallsMs_.empty()) return 0;
        std::vector<double> sorted = stallsMs_;
        std::sort(sorted.begin(), sorted.end());
        const auto index = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1));
        return sorted[index];
    }
    std::size_t samples() const { return stallsMs_.size(); }

private:
    QTimer probe_;
    QElapsedTimer clock_;
    qint64 last_ = 0;  // ns since start of the last run
    std::vector<double> stallsMs_;
};
