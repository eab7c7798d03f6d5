#include "JumpUpkeep.h"

#include "RecordFields.h"

#include <algorithm>

namespace kelvane {
namespace {

std::int64_t adjustedTarget(std::int64_t d, JumpEdit kind, std::int64_t n, std::int64_t r) {
    switch (kind) {
        case JumpEdit::LinesDeleted:
            if (d >= r + n) return d - n;
            if (d >= r) return std::max<std::int64_t>(r - 1, 0);
            return d;
        case JumpEdit::LinesInserted:
            return d >= r ? d + n : d;
        case JumpEdit::MovedUp:
            if (d == r + 1) return r;
            if (d == r) return r + 1;
            return d;
        case JumpEdit::MovedDown:
            if (d == r && r > 0) return r - 1;
            if (d == r - 1) return r;
            return d;
        case JumpEdit::None:
            break;
    }
    return d;
}

}  // namespace

bool AdjustJumpTarget(const InstructionCatalogue& catalogue, LineRecord& record, JumpEdit kind, int n, int r) {
    const std::uint8_t offset = catalogue.GetJumpOffset(record.bytes[kCodeByte]);
    // The four bytes must lie inside the record, whatever a table filled by hand says.
    if (offset == 0 || std::size_t{offset} + 4 > sizeof(LineRecord)) return false;
    const std::uint32_t target = ReadBigEndian32(record, offset);
    if (target >= static_cast<std::uint32_t>(kMaxProgramLines)) return true;
    const std::int64_t adjusted = adjustedTarget(target, kind, n, r);
    if (adjusted >= 0 && adjusted < kMaxProgramLines) {
        WriteBigEndian32(record, offset, static_cast<std::uint32_t>(adjusted));
    }
    return true;
}

}  // namespace kelvane
