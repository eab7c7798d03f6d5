// Live state of the controller as the operation views show it: positions and speeds of the
// six operated axes and the input and output levels. A query that gets no answer reads 0.
#pragma once

#include "ControllerAxes.h"

#include <array>
#include <cstdint>

namespace kelvane {

constexpr int kInputPins = 24;   // IN1..IN24 are pins 1..24
constexpr int kOutputPins = 12;  // OUT1..OUT12 are pins 33..44
constexpr int kFirstInputPin = 1;
constexpr int kFirstOutputPin = 33;

constexpr int OutputPin(int output) { return kFirstOutputPin - 1 + output; }

using AxisValues = std::array<float, kOperatedAxes>;

AxisValues ReadAxisPositions();
AxisValues ReadAxisSpeeds();

// One query for a block of pins: bit n is the level of pin firstPin + n.
std::uint32_t ReadPinBlock(int firstPin);
// OUT1..OUT12 one query each; true where the output is on.
std::array<bool, kOutputPins> ReadOutputsOneByOne();

void SetOutput(int output, bool on);

}  // namespace kelvane
