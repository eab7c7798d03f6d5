#include "ModbusFrame.h"

#include <initializer_list>

namespace ravo_lib {

std::uint16_t modbusCrc(const std::uint8_t* bytes, std::size_t count) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

namespace {

std::uint8_t high(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t low(std::uint16_t value) { return static_cast<std::uint8_t>(value); }

ModbusRequest makeRequest(std::initializer_list<std::uint8_t> body, std::size_t replyLength) {
    ModbusRequest request;
    for (std::uint8_t byte : body) request.bytes[request.length++] = byte;
    const std::uint16_t crc = modbusCrc(request.bytes, request.length);
    request.bytes[request.length++] = low(crc);
    request.bytes[request.length++] = high(crc);
    request.replyLength = replyLength;
    return request;
}

}  // namespace

ModbusRequest writeCoilRequest(std::uint8_t slave, std::uint16_t coil, std::uint8_t value) {
    const std::uint8_t on = value == 1 ? 0xFF : 0x00;
    return makeRequest({slave, 5, high(coil), low(coil), on, 0x00}, 8);
}

ModbusRequest readCoilRequest(std::uint8_t slave, std::uint16_t coil) {
    return makeRequest({slave, 1, high(coil), low(coil), 0x00, 0x01}, 8);
}

ModbusRequest writeShortRequest(std::uint8_t slave, std::uint16_t reg, std::uint16_t value) {
    return makeRequest({slave, 0x10, high(reg), low(reg), 0x00, 0x01, 0x02, high(value), low(value)}, 8);
}

ModbusRequest writeLongRequest(std::uint8_t slave, std::uint16_t reg, std::uint32_t value) {
    const auto lowHalf = static_cast<std::uint16_t>(value);
    const auto highHalf = static_cast<std::uint16_t>(value >> 16);
    return makeRequest({slave, 0x10, high(reg), low(reg), 0x00, 0x02, 0x04, high(lowHalf), low(lowHalf), high(highHalf),
                        low(highHalf)},
                       8);
}

ModbusRequest readRegistersRequest(std::uint8_t slave, std::uint16_t reg, std::uint16_t count) {
    // Slave, function, byte count, two bytes per register, two check bytes.
    return makeRequest({slave, 4, high(reg), low(reg), high(count), low(count)},
                       5 + 2 * static_cast<std::size_t>(count));
}

bool coilStateFromReply(const std::uint8_t* reply) { return reply[3] != 0; }

std::int16_t shortFromReply(const std::uint8_t* reply) { return static_cast<std::int16_t>((reply[3] << 8) | reply[4]); }

std::uint32_t longFromReply(const std::uint8_t* reply) {
    const std::uint32_t lowHalf = (reply[3] << 8) | reply[4];
    const std::uint32_t highHalf = (reply[5] << 8) | reply[6];
    return lowHalf | (highHalf << 16);
}

}  // namespace ravo_lib
