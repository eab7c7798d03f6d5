// Misbehaviours scripted by tests: faults for the next matching requests and fixed answers
// for motor read-back queries.
#pragma once

#include <ravo_sim/Simulator.h>

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace ravo_sim {

class FaultPlan {
public:
    void add(const Fault& fault);
    void clear();
    // The first fault injected for this kind of request and selector (command code, record
    // index or Modbus function); it is used up after its `times` matches.
    std::optional<Fault> take(RequestKind kind, int selector);

    void overrideReadBack(int command, std::uint32_t axisMask, std::uint32_t field2);
    std::optional<std::uint32_t> readBack(int command, std::uint32_t axisMask) const;

private:
    std::vector<Fault> faults_;
    std::map<std::pair<int, std::uint32_t>, std::uint32_t> readBacks_;
};

}  // namespace ravo_sim
