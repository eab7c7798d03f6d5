// The library alone through its C interface, as an integrator's program might use it: one
// thread commands (polling, jogs, 出厂设置, reconnecting), another downloads the demo again
// and again, against a simulated controller at wire speed under a random fault plan.
#pragma once

#include "SoakOptions.h"
#include "SoakReport.h"

void RunLibrarySoak(const SoakOptions& options, SoakReport& report, ravo_sim::RandomFaultCounts& faults);
