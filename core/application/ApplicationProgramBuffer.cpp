#include "ApplicationProgramBuffer.h"

namespace kelvane {

void ResetApplicationBuffer(ApplicationProgramBuffer& buffer) {
    buffer.version = 0;
    buffer.motor = MotorParameterRecord{};
    for (int axis = 0; axis < 6; ++axis) {
        AxisParameters& parameters = buffer.motor.axes[axis];
        parameters.subdivision = 1600;
        parameters.pitch = 5.0f;
        parameters.acceleration = 10;
        parameters.deceleration = 10;
    }
    buffer.program.records.fill(LineRecord{});
    buffer.program.lineCount = 0;
    buffer.program.remarks.clear();
    buffer.peripherals = PeripheralParameterRecord{};
}

}  // namespace kelvane
