#include "ProgramFind.h"

#include <algorithm>

namespace kelvane {

std::optional<std::vector<std::uint8_t>> FindPatternFor(std::int32_t value) {
    if (value > 65535) return std::nullopt;
    if (value > 255) {
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(value >> 8),
                                         static_cast<std::uint8_t>(value & 0xFF)};
    }
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(value & 0xFF)};
}

int FindValue(const ProgramSlot& slot, int afterRow, const std::vector<std::uint8_t>& pattern) {
    if (pattern.empty() || pattern.size() > 2) return -1;
    const int start = afterRow < 0 ? 0 : std::min(afterRow, kMaxProgramLines - 1) + 1;
    for (int row = start; row < kMaxProgramLines; ++row) {
        const auto& bytes = slot.records[row].bytes;
        if (std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) != bytes.end()) {
            return row;
        }
    }
    return -1;
}

}  // namespace kelvane
