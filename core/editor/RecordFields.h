// Field access inside a 16-byte line record.
#pragma once

#include "core/application/LineRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace kelvane {

constexpr std::uint8_t kRecordStart = 0xAA;
constexpr std::uint8_t kRecordAddress = 0xFF;
constexpr std::size_t kCodeByte = 2;
constexpr std::array<std::size_t, 3> kParamOffsets = {3, 7, 11};

// The 32-bit value stored most significant byte first at `offset` (0..12).
inline std::uint32_t ReadBigEndian32(const LineRecord& record, std::size_t offset) {
    const auto& b = record.bytes;
    return std::uint32_t{b[offset]} << 24 | std::uint32_t{b[offset + 1]} << 16 | std::uint32_t{b[offset + 2]} << 8 |
           std::uint32_t{b[offset + 3]};
}

inline void WriteBigEndian32(LineRecord& record, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        record.bytes[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

}  // namespace kelvane
