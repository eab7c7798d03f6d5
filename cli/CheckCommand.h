// `ravo check`: the problems a controller would meet in the user programs of an application
// program, one line each.
#pragma once

#include "ApplicationDocument.h"

#include "core/editor/InstructionCatalogue.h"

#include <ostream>

namespace ravo {

// Writes "program p line i: ..." for every problem (p and i counted from 0, as ravo show and
// the editor count them). Returns 1 when there was any, else 0.
int RunCheck(const ApplicationDocument& document, const kelvane::InstructionCatalogue& catalogue, std::ostream& out);

}  // namespace ravo
