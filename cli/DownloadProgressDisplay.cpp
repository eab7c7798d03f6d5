#include "DownloadProgressDisplay.h"

#include <cstdio>

namespace ravo {

namespace {

constexpr int kBarWidth = 30;

// The share of the user programs sent, 0..1; the motor and peripheral steps count as none.
double SentShare(const kelvane::DownloadProgress& progress) {
    if (progress.step != kelvane::DownloadStep::UserPrograms || progress.programCount == 0) return 0;
    const double withinProgram =
        progress.recordCount > 0 ? static_cast<double>(progress.record) / progress.recordCount : 0;
    return (progress.program + withinProgram) / progress.programCount;
}

std::string Bar(double share) {
    const int filled = static_cast<int>(share * kBarWidth + 0.5);
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "]";
}

}  // namespace

std::string DescribeStep(const kelvane::DownloadProgress& progress) {
    switch (progress.step) {
        case kelvane::DownloadStep::MotorParameters:
            return "motor parameters";
        case kelvane::DownloadStep::Peripherals:
            return "peripherals";
        case kelvane::DownloadStep::UserPrograms:
            break;
    }
    return "user program " + std::to_string(progress.program + 1) + " of " + std::to_string(progress.programCount);
}

void DownloadProgressDisplay::show(const kelvane::DownloadProgress& progress) {
    const bool inPrograms = progress.step == kelvane::DownloadStep::UserPrograms;
    const std::string step = DescribeStep(progress);
    if (!terminal_) {
        if (step == lastStep_) return;
        out_ << step;
        if (inPrograms) out_ << " (" << progress.recordCount << " records)";
        out_ << "\n" << std::flush;
        lastStep_ = step;
        return;
    }
    const double share = SentShare(progress);
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(share * 100));
    std::string line = Bar(share) + " " + percent + "  " + step;
    if (inPrograms)
        line += ", record " + std::to_string(progress.record) + " of " + std::to_string(progress.recordCount);
    // Clear what a longer earlier line left behind.
    out_ << "\r" << line << "\033[K" << std::flush;
    barShown_ = true;
}

void DownloadProgressDisplay::finish() {
    if (barShown_) out_ << "\n" << std::flush;
    barShown_ = false;
}

}  // namespace ravo
