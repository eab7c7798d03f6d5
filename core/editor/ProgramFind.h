// The search for a byte or byte pair in a program's records.
#pragma once

#include "ProgramSlot.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kelvane {

// The pattern searched for a find value: one byte up to 255, the two bytes high, low up to
// 65535; nothing above (the view refuses such a value).
std::optional<std::vector<std::uint8_t>> FindPatternFor(std::int32_t value);

// The first row after `afterRow` (up to 999, lines beyond the line count included, no wrap)
// whose 16 record bytes contain the pattern of 1 or 2 bytes; -1 when none or when the pattern
// has another length.
int FindValue(const ProgramSlot& slot, int afterRow, const std::vector<std::uint8_t>& pattern);

}  // namespace kelvane
