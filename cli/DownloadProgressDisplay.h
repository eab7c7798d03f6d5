// The progress of a whole download on a stream: a bar redrawn in place on a terminal, or one
// plain line per step and per user program otherwise (log files, pipes).
#pragma once

#include "core/workflow/ApplicationDownload.h"

#include <ostream>
#include <string>

namespace ravo {

class DownloadProgressDisplay {
public:
    DownloadProgressDisplay(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
    ~DownloadProgressDisplay() { finish(); }

    void show(const kelvane::DownloadProgress& progress);
    // Ends the bar's line, so that what follows starts on a line of its own.
    void finish();

private:
    std::ostream& out_;
    bool terminal_;
    bool barShown_ = false;
    std::string lastStep_;
};

// "motor parameters", "peripherals", "user program 2 of 3".
std::string DescribeStep(const kelvane::DownloadProgress& progress);

}  // namespace ravo
