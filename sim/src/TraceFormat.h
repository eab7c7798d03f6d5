// One line per decoded request, for people watching the simulator work.
#pragma once

#include <ravo_sim/Simulator.h>

#include <string>

namespace ravo_sim {

const char* kindName(RequestKind kind);
// "<ms since start> <kind> [code N] <hex bytes>"
std::string traceLine(const Request& request, std::chrono::steady_clock::time_point start);

}  // namespace ravo_sim
