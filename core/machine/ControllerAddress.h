// The controller's two bus addresses, read and written directly (they are not part of the
// application program): the RS-485 address by command, the RS-232 one in Modbus register 199.
#pragma once

#include <cstdint>

namespace kelvane {

// The address of whichever controller is attached; 0 when it does not answer.
std::uint8_t ReadRs485Address();
void WriteRs485Address(std::uint8_t address);

// The low 8 bits of register 199; 0 when the read fails.
std::uint8_t ReadRs232Address();
void WriteRs232Address(std::uint8_t address);

}  // namespace kelvane
