// The controller's Modbus RTU side: one table of 16-bit registers (written with functions 6
// and 16, read with 3 and 4), one table of coils (written with 5, read with 1), and the
// point-recording function that lives in registers 360..367 and coils 157..159.
#pragma once

#include "Wire.h"

#include <ravo_sim/Simulator.h>

#include <array>
#include <cstdint>
#include <vector>

namespace ravo_sim {

class ModbusSlave {
public:
    static constexpr int kSlaveAddressRegister = 200;  // 200..201, low half first
    static constexpr std::uint8_t kDefaultSlaveAddress = 1;
    static constexpr std::uint8_t kSlaveDeviceFailure = 4;

    ModbusSlave();

    // The slave address besides 255 that this controller answers; 0 when registers 200..201
    // hold no usable address (0, above 247, or 0xAA, which starts command frames).
    std::uint8_t ownAddress() const;

    // Applies a request whose CRC was checked and returns the reply. `axisPositions` are the
    // current positions of axes 1..6, stored when a point is saved.
    Bytes handle(const Bytes& request, const std::array<float, 6>& axisPositions);
    static Bytes exceptionReply(const Bytes& request, std::uint8_t exceptionCode);

    std::uint16_t registerValue(int address) const;
    void setRegister(int address, std::uint16_t value);
    bool coil(int address) const;
    void setCoil(int address, bool on);
    const std::vector<TaughtPoint>& taughtPoints() const { return points_; }

private:
    Bytes readCoils(const Bytes& request) const;
    Bytes readRegisters(const Bytes& request) const;
    Bytes writeCoil(const Bytes& request, const std::array<float, 6>& axisPositions);
    Bytes writeRegister(const Bytes& request);
    Bytes writeRegisters(const Bytes& request);
    void onCoilWritten(int address, const std::array<float, 6>& axisPositions);
    std::uint32_t registerPair(int address) const;

    std::vector<std::uint16_t> registers_;
    std::vector<bool> coils_;
    bool recording_ = false;
    std::vector<TaughtPoint> points_;
};

}  // namespace ravo_sim
