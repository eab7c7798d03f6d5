// Edit-box text to numbers and back, as the dialog data exchange of the original tool did it:
// integers as decimal "%d", numbers shown with up to six significant digits ("%.6g"), blanks
// and tabs allowed around the value, nothing else. Locale independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelvane {

std::optional<std::int32_t> ParseBoxInteger(const std::string& text);
// Finite values that fit a float only.
std::optional<float> ParseBoxNumber(const std::string& text);

std::string FormatBoxInteger(std::int64_t value);
std::string FormatBoxNumber(float value);

}  // namespace kelvane
