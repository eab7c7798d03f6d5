#include "MachineStatus.h"

#include <Kelvane_Ravo_Q9T2.h>

namespace kelvane {

namespace {

AxisValues ReadPerAxis(int (*query)(int, int, float*)) {
    AxisValues values{};
    for (int axis = 1; axis <= kOperatedAxes; ++axis) {
        float value = 0;
        query(kControllerAddress, AxisMask(axis), &value);
        values[axis - 1] = value;
    }
    return values;
}

}  // namespace

AxisValues ReadAxisPositions() { return ReadPerAxis(&Ravo_GetMotorPosition); }

AxisValues ReadAxisSpeeds() { return ReadPerAxis(&Ravo_GetMotorCurSpeed); }

std::uint32_t ReadPinBlock(int firstPin) {
    int bits = 0;
    Ravo_GetAllIOPinLevel(kControllerAddress, firstPin, &bits);
    return static_cast<std::uint32_t>(bits);
}

std::array<bool, kOutputPins> ReadOutputsOneByOne() {
    std::array<bool, kOutputPins> on{};
    for (int output = 1; output <= kOutputPins; ++output) {
        unsigned char level = 0;
        Ravo_GetIOPinLevel(kControllerAddress, OutputPin(output), &level);
        on[output - 1] = level == 1;
    }
    return on;
}

void SetOutput(int output, bool on) { Ravo_SetIOPinLevel(kControllerAddress, OutputPin(output), on ? 1 : 0); }

}  // namespace kelvane
