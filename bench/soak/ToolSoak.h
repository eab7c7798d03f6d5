// The tool's main window, offscreen, with its link worker, against a simulated controller at
// wire speed under a random fault plan: the manual view's polling, jogs, 刷新状态, whole
// downloads of the demo, 出厂设置 and disconnect/connect in turn, each checked.
#pragma once

#include "SoakOptions.h"
#include "SoakReport.h"

void RunToolSoak(const SoakOptions& options, SoakReport& report, ravo_sim::RandomFaultCounts& faults);
