// What a soak run saw: actions, download and factory-check verdicts, wrong reports, hangs,
// links that did not come back, the worst event-loop stall and resident memory; printed at the
// end with a last line that holds the worst of the limited figures as a ratio to its limit.
#pragma once

#include <ravo_sim/RandomFaults.h>

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

class SoakReport {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr double kFrameMs = 16.0;
    static constexpr double kMemoryGrowthLimit = 2.0 * 1024 * 1024;
    static constexpr auto kFirstMinute = std::chrono::minutes(1);

    SoakReport();
    // The run starts now: the clock and the resident memory at the start.
    void begin();

    // Each may be called from any thread.
    void action(const std::string& name);
    void downloadSucceeded();
    void downloadFailed();
    void wrong(const std::string& what, bool download = false);  // a wrong report
    void hang(const std::string& what);                          // an action that did not end
    void linkNotBack(const std::string& what);
    // The window's worst stall during an action and an idle thread's worst lateness meanwhile;
    // printed when the window's is above a frame.
    void stall(double milliseconds, double idleThreadMs, const std::string& during);
    // Samples the resident memory: the first call after the first minute keeps it.
    void sampleMemory();

    // Prints the summary; true when every limit held.
    bool print(const ravo_sim::RandomFaultCounts& faults);

private:
    void problem(const char* kind, const std::string& what);

    mutable std::mutex mutex_;
    Clock::time_point start_;
    std::map<std::string, std::size_t> actions_;
    std::size_t downloadsSucceeded_ = 0, downloadsFailed_ = 0, downloadsWrong_ = 0, wrong_ = 0, hangs_ = 0,
                linksNotBack_ = 0;
    double worstStallMs_ = 0, worstIdleThreadMs_ = 0;
    bool stallsMeasured_ = false;
    long startRss_ = 0, minuteRss_ = -1;
};

// The resident memory of this process in bytes.
long ResidentBytes();
