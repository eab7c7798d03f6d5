// One of the editor's ten user programs: a fixed array of line records, the number of lines in
// use and the remarks.
#pragma once

#include "core/application/LineRecord.h"

#include <array>

namespace kelvane {

constexpr int kProgramSlotCount = 10;

struct ProgramSlot {
    std::array<LineRecord, kMaxProgramLines> records{};
    int lineCount = 0;  // -1 until the slot is first committed
    RemarkMap remarks;
};

}  // namespace kelvane
