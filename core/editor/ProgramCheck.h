// The problems a controller would meet in a user program: lines whose jump leads beyond the
// program, instruction codes the catalogue does not know, and enumeration parameters holding a
// value their type does not list.
#pragma once

#include "InstructionCatalogue.h"
#include "core/application/LineRecord.h"

#include <string>
#include <vector>

namespace kelvane {

struct ProgramProblem {
    int line = 0;             // 0-based, as the grid numbers it
    std::string description;  // English, one line
};

// Every problem of the first `program.lineCount` lines, in line order. Blank lines (code 0)
// have none.
std::vector<ProgramProblem> CheckProgram(const InstructionCatalogue& catalogue, const ProgramImage& program);

}  // namespace kelvane
