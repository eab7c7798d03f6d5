#include "ControllerAddress.h"

#include "ControllerAxes.h"

#include <Kelvane_Ravo_Q9T2.h>

namespace kelvane {

namespace {
constexpr int kRs232AddressRegister = 199;
}

std::uint8_t ReadRs485Address() {
    unsigned char address = 0;
    Ravo_GetControllerAddr(&address);
    return address;
}

void WriteRs485Address(std::uint8_t address) { Ravo_SetControllerAddr(kControllerAddress, address); }

std::uint8_t ReadRs232Address() {
    short value = 0;
    Modbus_ReadShort(kControllerAddress, kRs232AddressRegister, &value);
    return static_cast<std::uint8_t>(value & 0xFF);
}

void WriteRs232Address(std::uint8_t address) { Modbus_WriteShort(kControllerAddress, kRs232AddressRegister, address); }

}  // namespace kelvane
