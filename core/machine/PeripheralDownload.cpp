#include "PeripheralDownload.h"

#include "ControllerAxes.h"
#include "PeripheralCodes.h"

#include <Kelvane_Ravo_Q9T2.h>

namespace kelvane {

namespace {
constexpr int kLimitLevelCoil = 110;
}

bool DownloadPeripheralParameters(const PeripheralParameterRecord& record) {
    bool answered = true;
    const auto sent = [&answered](int) { answered = LastExchangeAnswered() && answered; };

    sent(Modbus_WriteCoil(kControllerAddress, kLimitLevelCoil, record.limitTriggerLevel ? 1 : 0));

    for (int axis = 1; axis <= kMotorAxes; ++axis)
        sent(SetMotorLimitSignal(kControllerAddress, AxisMask(axis), LimitInputSent(record.limits[2 * (axis - 1)]),
                                 LimitInputSent(record.limits[2 * (axis - 1) + 1])));

    for (int channel = 1; channel <= 2; ++channel) {
        const AnalogueInput& input = record.analogue[channel - 1];
        sent(Ravo_SetADWorlMode(kControllerAddress, channel, AnalogueModeSent(input.function)));
        sent(Ravo_SetADValueScale(kControllerAddress, channel, input.minimum, input.maximum));
    }

    for (int encoder = 1; encoder <= 3; ++encoder) {
        const EncoderSettings& settings = record.encoders[encoder - 1];
        sent(Ravo_SetEncodeLineNum(kControllerAddress, encoder, settings.lines, settings.ratio));
        sent(Ravo_SetEncodeMode(kControllerAddress, encoder, EncoderModeSent(settings.mode)));
    }
    return answered;
}

}  // namespace kelvane
