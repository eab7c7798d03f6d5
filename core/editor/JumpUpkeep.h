// Keeps the line numbers held by jump instructions pointing at the same lines when lines are
// deleted, inserted or moved.
#pragma once

#include "InstructionCatalogue.h"
#include "core/application/LineRecord.h"

namespace kelvane {

enum class JumpEdit {
    None = 0,
    LinesDeleted = 1,   // n lines deleted at r
    LinesInserted = 2,  // n lines inserted at r
    MovedUp = 3,        // the line now at r came from r + 1, the line at r moved to r + 1
    MovedDown = 4,      // the line now at r came from r - 1, the line at r moved to r - 1
};

// Rewrites the target of a jump instruction for an edit at line r. Returns true when the
// record holds a jump instruction. Targets that name no possible line (1000 and above, which
// includes negative numbers) are left as typed. A target inside a deleted block points at the
// line before the block afterwards (line 0 when the block started at line 0).
bool AdjustJumpTarget(const InstructionCatalogue& catalogue, LineRecord& record, JumpEdit kind, int n, int r);

}  // namespace kelvane
