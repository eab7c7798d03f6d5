#include "PeripheralDownload.h"

#include "ControllerAxes.h"
#include "PeripheralCodes.h"

#include <Kelvane_Ravo_Q9T2.h>

namespace kelvane {

namespace {
constexpr int kLimitLevelCoil = 110;
}

void DownloadPeripheralParameters(const PeripheralParameterRecord& record) {
    Modbus_WriteCoil(kControllerAddress, kLimitLevelCoil, record.limitTriggerLevel ? 1 : 0);

    for (int axis = 1; axis <= kMotorAxes; ++axis)
        SetMotorLimitSignal(kControllerAddress, AxisMask(axis),
                            LimitInputSent(record.limits[2 * (axis - 1)]),
                            LimitInputSent(record.limits[2 * (axis - 1) + 1]));

    for (int channel = 1; channel <= 2; ++channel) {
        const AnalogueInput& input = record.analogue[channel - 1];
        Ravo_SetADWorlMode(kControllerAddress, channel, AnalogueModeSent(input.function));
        Ravo_SetADValueScale(kControllerAddress, channel, input.minimum, input.maximum);
    }

    for (int encoder = 1; encoder <= 3; ++encoder) {
        const EncoderSettings& settings = record.encoders[encoder - 1];
        Ravo_SetEncodeLineNum(kControllerAddress, encoder, settings.lines, settings.ratio);
        Ravo_SetEncodeMode(kControllerAddress, encoder, EncoderModeSent(settings.mode));
    }
}

}  // namespace kelvane
