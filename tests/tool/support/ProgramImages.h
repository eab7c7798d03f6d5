// Line records and user programs for tests, built from instruction codes and parameters.
#pragma once

#include "core/application/LineRecord.h"

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

// A line record: instruction `code` and three parameters, most significant byte first.
inline kelvane::LineRecord Line(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0) {
    kelvane::LineRecord record;
    record.bytes[0] = 0xAA;
    record.bytes[1] = 0xFF;
    record.bytes[2] = code;
    const std::uint32_t params[] = {p1, p2, p3};
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 4; ++b) record.bytes[3 + 4 * k + b] = static_cast<std::uint8_t>(params[k] >> (24 - 8 * b));
    return record;
}

// A program of these lines and remarks (line index -> remark).
inline kelvane::ProgramImage Program(const std::vector<kelvane::LineRecord>& lines,
                                     const kelvane::RemarkMap& remarks = {}) {
    kelvane::ProgramImage program;
    for (std::size_t i = 0; i < lines.size(); ++i) program.records[i] = lines[i];
    program.lineCount = static_cast<std::uint16_t>(lines.size());
    program.remarks = remarks;
    return program;
}

namespace kelvane {

inline bool operator==(const LineRecord& a, const LineRecord& b) { return a.bytes == b.bytes; }

inline void PrintTo(const LineRecord& record, std::ostream* out) {
    for (std::uint8_t byte : record.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x ", byte);
        *out << hex;
    }
}

}  // namespace kelvane
