// One user-program line in transfer form, and a whole program as the file writer and the
// download see it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace kelvane {

constexpr int kMaxProgramLines = 1000;

// 16 bytes: 0xAA, 0xFF, instruction code (0 = blank line), three big-endian 32-bit
// parameters, and 0 (the library puts the record's index there when it sends it).
struct LineRecord {
    std::array<std::uint8_t, 16> bytes{};
};
static_assert(sizeof(LineRecord) == 16, "a line record is 16 bytes on the wire and on disk");

// Line index -> remark, every white-space byte stored as '@' so the remark is one token.
using RemarkMap = std::map<int, std::string>;
// The longest remark the file keeps, in GBK bytes.
constexpr std::size_t kMaxRemarkBytes = 125;

// One user program: records, line count (0..1000) and remarks.
struct ProgramImage {
    std::array<LineRecord, kMaxProgramLines> records{};
    std::uint16_t lineCount = 0;
    RemarkMap remarks;
};

}  // namespace kelvane
