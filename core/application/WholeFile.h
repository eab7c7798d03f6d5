// Reads a whole file into memory.
#pragma once

#include <optional>
#include <string>

namespace kelvane {

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace kelvane
