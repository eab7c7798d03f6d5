#include "FaultPlan.h"

namespace ravo_sim {

void FaultPlan::add(const Fault& fault) {
    if (fault.times != 0) faults_.push_back(fault);
}

void FaultPlan::clear() {
    faults_.clear();
    readBacks_.clear();
}

std::optional<Fault> FaultPlan::take(RequestKind kind, int selector) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->on != kind || (it->selector != -1 && it->selector != selector)) continue;
        const Fault fault = *it;
        if (it->times > 0 && --it->times == 0) faults_.erase(it);
        return fault;
    }
    return std::nullopt;
}

void FaultPlan::overrideReadBack(int command, std::uint32_t axisMask, std::uint32_t field2) {
    readBacks_[{command, axisMask}] = field2;
}

std::optional<std::uint32_t> FaultPlan::readBack(int command, std::uint32_t axisMask) const {
    const auto found = readBacks_.find({command, axisMask});
    if (found == readBacks_.end()) return std::nullopt;
    return found->second;
}

}  // namespace ravo_sim
