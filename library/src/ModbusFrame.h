// Modbus RTU requests and replies as the controller speaks them: CRC-16, the request of each
// register or coil function and the length of the reply it awaits, and the reply decoding.
// Pure byte work, no I/O.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravo_lib {

// CRC-16 of the Modbus RTU standard: initial value 0xFFFF, reflected polynomial 0xA001.
std::uint16_t modbusCrc(const std::uint8_t* bytes, std::size_t count);

// A request with its check bytes appended (low byte first) and the reply length it awaits.
struct ModbusRequest {
    std::uint8_t bytes[13] = {};
    std::size_t length = 0;
    std::size_t replyLength = 0;
};

// Function 5 for one coil: 0xFF 0x00 when `value` is exactly 1, otherwise 0x00 0x00.
ModbusRequest writeCoilRequest(std::uint8_t slave, std::uint16_t coil, std::uint8_t value);
// Function 1 for one coil; the controller answers with 8 bytes, the state in byte 3.
ModbusRequest readCoilRequest(std::uint8_t slave, std::uint16_t coil);
// Function 16 for one register, value most significant byte first.
ModbusRequest writeShortRequest(std::uint8_t slave, std::uint16_t reg, std::uint16_t value);
// Function 16 for two registers: the first holds bits 15..0, the second bits 31..16.
ModbusRequest writeLongRequest(std::uint8_t slave, std::uint16_t reg, std::uint32_t value);
// Function 4 for `count` (1 or 2) input registers.
ModbusRequest readRegistersRequest(std::uint8_t slave, std::uint16_t reg, std::uint16_t count);

// Reply decoding; `reply` holds the complete awaited reply.
bool coilStateFromReply(const std::uint8_t* reply);
std::int16_t shortFromReply(const std::uint8_t* reply);
std::uint32_t longFromReply(const std::uint8_t* reply);

}  // namespace ravo_lib
