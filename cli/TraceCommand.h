// `ravo trace`: the library's logs (SericalComInfo.log, Ravo_Debug.log) as readable lines.
#pragma once

#include "core/editor/InstructionCatalogue.h"

#include <istream>
#include <ostream>

namespace ravo {

// Writes one line per transfer, note or unparsable log line (marked "??"), and last the count
// of unparsable lines. With `follow`, waits at the end of the log for more lines until Ctrl+C
// (a log truncated by a new start is read again from its beginning). A null
// catalogue shows instruction codes. Returns 0.
int RunTrace(std::istream& log, bool follow, const kelvane::InstructionCatalogue* catalogue, std::ostream& out);

}  // namespace ravo
