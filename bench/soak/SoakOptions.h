// The soak's command line: bench/soak [--seconds N] [--seed S] [--rate R] [--library].
#pragma once

#include <ravo_sim/RandomFaults.h>

struct SoakOptions {
    int seconds = 600;
    ravo_sim::RandomFaultSettings faults{1, 0.005};
    bool library = false;
};
