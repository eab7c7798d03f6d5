#include "SoakReport.h"

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <limits>

long ResidentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

SoakReport::SoakReport() { begin(); }

void SoakReport::begin() {
    std::lock_guard<std::mutex> lock(mutex_);
    start_ = Clock::now();
    startRss_ = ResidentBytes();
}

void SoakReport::action(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++actions_[name];
}

void SoakReport::downloadSucceeded() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++downloadsSucceeded_;
}

void SoakReport::downloadFailed() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++downloadsFailed_;
}

void SoakReport::problem(const char* kind, const std::string& what) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    std::printf("%8.1f s  %s: %s\n", seconds, kind, what.c_str());
    std::fflush(stdout);
}

void SoakReport::wrong(const std::string& what, bool download) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wrong_;
    if (download) ++downloadsWrong_;
    problem("WRONG REPORT", what);
}

void SoakReport::hang(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++hangs_;
    problem("HANG", what);
}

void SoakReport::linkNotBack(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++linksNotBack_;
    problem("LINK NOT BACK", what);
}

void SoakReport::stall(double milliseconds, double idleThreadMs, const std::string& during) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (milliseconds > kFrameMs) {
        char text[160];
        std::snprintf(text, sizeof text, "%.1f ms during %s (an idle thread meanwhile: %.1f ms late)", milliseconds,
                      during.c_str(), idleThreadMs);
        problem("UI STALL", text);
    }
    worstIdleThreadMs_ = std::max(worstIdleThreadMs_, idleThreadMs);
    stallsMeasured_ = true;
    worstStallMs_ = std::max(worstStallMs_, milliseconds);
}

void SoakReport::sampleMemory() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (minuteRss_ < 0 && Clock::now() - start_ >= kFirstMinute) minuteRss_ = ResidentBytes();
}

bool SoakReport::print(const ravo_sim::RandomFaultCounts& faults) {
    std::lock_guard<std::mutex> lock(mutex_);
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const long endRss = ResidentBytes();
    const long minuteRss = minuteRss_ < 0 ? endRss : minuteRss_;

    std::size_t actions = 0;
    for (const auto& entry : actions_) actions += entry.second;
    std::printf("ran %.0f s: %zu actions (", seconds, actions);
    const char* separator = "";
    for (const auto& entry : actions_) {
        std::printf("%s%s %zu", separator, entry.first.c_str(), entry.second);
        separator = ", ";
    }
    std::printf(")\nfaults injected:");
    std::uint64_t injected = 0;
    for (int kind = 0; kind < ravo_sim::kRandomFaultKinds; ++kind) {
        const auto count = faults.byKind[static_cast<std::size_t>(kind)];
        injected += count;
        std::printf(" %s %llu,", ravo_sim::RandomFaultName(static_cast<ravo_sim::RandomFault>(kind)),
                    static_cast<unsigned long long>(count));
    }
    std::printf(" in all %llu\n", static_cast<unsigned long long>(injected));
    std::printf("downloads: %zu succeeded, %zu failed, %zu wrongly reported (wrong reports of any action: %zu)\n",
                downloadsSucceeded_, downloadsFailed_, downloadsWrong_, wrong_);
    std::printf("hangs: %zu; links that did not come back: %zu\n", hangs_, linksNotBack_);
    if (stallsMeasured_)
        std::printf("worst UI stall: %.2f ms (the machine's own: an idle thread woke up to %.2f ms late)\n",
                    worstStallMs_, worstIdleThreadMs_);
    const double growth = static_cast<double>(endRss - minuteRss);
    std::printf(
        "resident memory: start %.1f MB, after a minute %.1f MB, end %.1f MB (growth after the first "
        "minute %+.0f kB)\n",
        startRss_ / 1048576.0, minuteRss / 1048576.0, endRss / 1048576.0, growth / 1024);

    double worst = std::max(0.0, growth) / kMemoryGrowthLimit;
    if (stallsMeasured_) worst = std::max(worst, worstStallMs_ / kFrameMs);
    if (wrong_ + hangs_ + linksNotBack_ > 0) worst = std::numeric_limits<double>::infinity();
    std::printf("worst / limit (UI stall / 16 ms, memory growth / 2 MB, wrong reports, hangs, lost links): %.3f\n",
                worst);
    return worst < 1;
}
