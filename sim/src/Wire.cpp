#include "Wire.h"

#include <cstring>

namespace ravo_sim {

std::uint8_t frameSum(const std::uint8_t* frame) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < kFrameSize; ++i) sum += frame[i];
    return static_cast<std::uint8_t>(sum);
}

std::uint32_t readBigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

void writeBigEndian32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = static_cast<std::uint8_t>(value >> 24);
    bytes[1] = static_cast<std::uint8_t>(value >> 16);
    bytes[2] = static_cast<std::uint8_t>(value >> 8);
    bytes[3] = static_cast<std::uint8_t>(value);
}

std::uint16_t readBigEndian16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

std::uint32_t floatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float bitsToFloat(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint16_t modbusCrc(const std::uint8_t* bytes, std::size_t count) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

void appendModbusCrc(Bytes& bytes) {
    const std::uint16_t crc = modbusCrc(bytes.data(), bytes.size());
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
}

bool hasValidModbusCrc(const std::uint8_t* bytes, std::size_t count) {
    if (count < 3) return false;
    const std::uint16_t crc = modbusCrc(bytes, count - 2);
    return bytes[count - 2] == (crc & 0xFF) && bytes[count - 1] == (crc >> 8);
}

}  // namespace ravo_sim
