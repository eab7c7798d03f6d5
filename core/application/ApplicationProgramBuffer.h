// The records of a whole application program: motor parameters of eight axes, peripheral
// settings and one user program at a time, staged in the main window's buffer on their way
// to and from a .kelvane file.
#pragma once

#include "LineRecord.h"

#include <array>
#include <cstdint>

namespace kelvane {

constexpr int kMotorAxes = 8;

struct AxisParameters {
    std::int32_t subdivision = 0;  // pulses per motor revolution
    float pitch = 0;               // distance per revolution
    float backlash = 0;            // mechanical backlash compensation
    std::int32_t acceleration = 0;
    std::int32_t deceleration = 0;
    float minimumSpeed = 0;  // 0 = adaptive
};

struct MotorParameterRecord {
    std::array<AxisParameters, kMotorAxes> axes{};  // axes 1..8 (X Y Z A B C 7 8)
};

struct AnalogueInput {
    std::uint8_t function = 0;
    float minimum = 0;
    float maximum = 0;
};

struct EncoderSettings {
    std::uint8_t mode = 0;
    std::int32_t lines = 0;
    float ratio = 0;
};

struct PeripheralParameterRecord {
    std::uint8_t limitTriggerLevel = 0;
    std::array<std::uint8_t, 2 * kMotorAxes> limits{};  // motor n: [2(n-1)] left, [2(n-1)+1] right
    std::array<AnalogueInput, 2> analogue{};            // AD0, AD1
    std::array<EncoderSettings, 3> encoders{};
};

struct ApplicationProgramBuffer {
    float version = 0;
    MotorParameterRecord motor;
    ProgramImage program;
    PeripheralParameterRecord peripherals;
};

// Start-up values: axes 1..6 at 1600 pulses, pitch 5.0, acceleration and deceleration 10;
// everything else 0, the program empty.
void ResetApplicationBuffer(ApplicationProgramBuffer& buffer);

}  // namespace kelvane
