// How long the event loop of this thread goes without running: a 10 ms timer records the gap
// between each of its runs and the one before. A gap above 10 ms is time the loop was held.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <vector>

class StallProbe {
public:
    StallProbe() {
        probe_.setTimerType(Qt::PreciseTimer);
        probe_.setInterval(10);
        QObject::connect(&probe_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            gapsMs_.push_back((now - last_) / 1e6);
            last_ = now;
        });
    }
    void start() {
        gapsMs_.clear();
        clock_.start();
        last_ = 0;
        probe_.start();
    }
    void stop() { probe_.stop(); }

    double longestMs() const { return gapsMs_.empty() ? 0 : *std::max_element(gapsMs_.begin(), gapsMs_.end()); }
    // The gap that `fraction` (0..1) of all gaps do not exceed.
    double percentileMs(double fraction) const {
        if (gapsMs_.empty()) return 0;
        std::vector<double> sorted = gapsMs_;
        std::sort(sorted.begin(), sorted.end());
        const auto index = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1));
        return sorted[index];
    }
    std::size_t samples() const { return gapsMs_.size(); }

private:
    QTimer probe_;
    QElapsedTimer clock_;
    qint64 last_ = 0;  // ns since start of the last run
    std::vector<double> gapsMs_;
};
