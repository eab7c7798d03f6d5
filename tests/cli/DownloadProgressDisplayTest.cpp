// The download progress as ravo shows it: plain lines for logs, a bar redrawn in place on a
// terminal.
#include "DownloadProgressDisplay.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using kelvane::DownloadProgress;
using kelvane::DownloadStep;

const DownloadProgress kProgress[] = {
    {DownloadStep::MotorParameters, 0, 2, 0, 0}, {DownloadStep::Peripherals, 0, 2, 0, 0},
    {DownloadStep::UserPrograms, 0, 2, 0, 10},   {DownloadStep::UserPrograms, 0, 2, 5, 10},
    {DownloadStep::UserPrograms, 1, 2, 0, 4},    {DownloadStep::UserPrograms, 1, 2, 4, 4},
};

std::string Shown(bool terminal) {
    std::ostringstream out;
    {
        ravo::DownloadProgressDisplay display(out, terminal);
        for (const DownloadProgress& progress : kProgress) display.show(progress);
    }
    return out.str();
}

TEST(DownloadProgressDisplay, PlainLinesForLogsAndABarRedrawnInPlaceOnATerminal) {
    EXPECT_EQ(Shown(false),
              "motor parameters\nperipherals\nuser program 1 of 2 (10 records)\nuser program 2 of 2 (4 records)\n");

    const std::string bar = Shown(true);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), '\n'), 1) << "one line, ended when the display finishes";
    for (const char* drawn : {"\r[------------------------------]   0%  motor parameters\033[K",
                              "\r[########----------------------]  25%  user program 1 of 2, record 5 of 10\033[K",
                              "\r[##############################] 100%  user program 2 of 2, record 4 of 4\033[K\n"})
        EXPECT_NE(bar.find(drawn), std::string::npos) << drawn << "\n" << bar;
}

}  // namespace
