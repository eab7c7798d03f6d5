// Byte-level helpers shared by the command-frame and Modbus sides of the simulator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ravo_sim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kFrameSize = 16;
constexpr std::uint8_t kFrameStart = 0xAA;
constexpr std::uint8_t kAnyControllerAddress = 0xFF;  // answered whatever our own address is

// 8-bit sum of bytes 0..14 of a 16-byte frame.
std::uint8_t frameSum(const std::uint8_t* frame);

std::uint32_t readBigEndian32(const std::uint8_t* bytes);
void writeBigEndian32(std::uint8_t* bytes, std::uint32_t value);
std::uint16_t readBigEndian16(const std::uint8_t* bytes);

std::uint32_t floatBits(float value);
float bitsToFloat(std::uint32_t bits);

// Modbus RTU CRC-16 (initial 0xFFFF, reflected polynomial 0xA001).
std::uint16_t modbusCrc(const std::uint8_t* bytes, std::size_t count);
// Appends the CRC of `bytes`, low byte first.
void appendModbusCrc(Bytes& bytes);
// True when the last two bytes are the CRC of the ones before them.
bool hasValidModbusCrc(const std::uint8_t* bytes, std::size_t count);

}  // namespace ravo_sim
