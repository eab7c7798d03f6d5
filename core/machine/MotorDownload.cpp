#include "MotorDownload.h"

#include "ControllerAxes.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <iterator>

namespace kelvane {

namespace {

static_assert(std::size(kAxisNames) == kMotorAxes, "the failure messages name every axis");

template <typename Value>
using Setter = int (*)(int, int, Value);
template <typename Value>
using Getter = int (*)(int, int, Value*);

// One parameter for all eight axes: write, read back, compare. `what` names the parameter in
// the message ("设置X轴<what>失败1" when the write fails, "...失败2" when the read-back does).
template <typename Value, typename Field>
MotorDownloadResult SendWithReadBack(const MotorParameterRecord& record, Field field, Setter<Value> set,
                                     Getter<Value> get, const char* what) {
    for (int axis = 1; axis <= kMotorAxes; ++axis) {
        const Value written = record.axes[axis - 1].*field;
        const int mask = AxisMask(axis);
        const std::string failure = std::string("设置") + AxisName(axis) + "轴" + what + "失败";
        if (set(kControllerAddress, mask, written) != RAVO_OK) return {false, failure + "1"};
        Value readBack{};
        if (get(kControllerAddress, mask, &readBack) != RAVO_OK || readBack != written) return {false, failure + "2"};
    }
    return {};
}

}  // namespace

MotorDownloadResult DownloadMotorParameters(const MotorParameterRecord& record) {
    MotorDownloadResult result = SendWithReadBack<std::int32_t>(
        record, &AxisParameters::subdivision, &Ravo_SetMotorDriveDiv, &Ravo_GetMotorDriveDiv, "细分数");
    if (!result.succeeded) return result;
    result = SendWithReadBack<float>(record, &AxisParameters::pitch, &Ravo_SetMotorPitch, &Ravo_GetMotorPitch, "螺距");
    if (!result.succeeded) return result;
    result = SendWithReadBack<std::int32_t>(record, &AxisParameters::acceleration, &Ravo_SetMotorAcc, &Ravo_GetMotorAcc,
                                            "加速系数");
    if (!result.succeeded) return result;

    // Not read back, so a minimum speed whose write got no reply may not have arrived.
    for (int axis = 1; axis <= kOperatedAxes; ++axis) {
        Ravo_SetMotorMinSpeed(kControllerAddress, AxisMask(axis), record.axes[axis - 1].minimumSpeed);
        if (!LastExchangeAnswered()) return {false, std::string("设置") + AxisName(axis) + "轴最小速度失败1"};
    }
    return {};
}

}  // namespace kelvane
