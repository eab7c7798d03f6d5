#include "PeripheralCodes.h"

#include "ControllerAxes.h"

namespace kelvane {

std::vector<std::string> LimitInputNames() {
    std::vector<std::string> names{"不开启"};
    for (int input = 1; input <= 14; ++input) names.push_back("X" + std::to_string(input));
    for (int input = 15; input < kLimitInputEntries; ++input) names.push_back("IN" + std::to_string(input));
    return names;
}

std::vector<std::string> AnalogueModeNames() {
    return {"不启用", "X轴速度", "Y轴速度", "Z轴速度", "A轴速度", "B轴速度", "C轴速度", "采集模拟量"};
}

// Index = 1 + 5 * axis + kind, which is also the mode the controller gets.
std::vector<std::string> EncoderModeNames() {
    static const char* const kKinds[] = {"速度跟随", "位置跟随", "闭环控制", "速度读取", "位置读取"};
    std::vector<std::string> names{"不启用"};
    for (int axis = 1; axis <= kOperatedAxes; ++axis)
        for (const char* kind : kKinds) names.push_back(std::string(AxisName(axis)) + "轴" + kind);
    return names;
}

std::uint8_t LimitInputSent(std::uint8_t index) { return index == 0 || index >= kLimitInputEntries ? 255 : index; }

int AnalogueModeSent(std::uint8_t index) {
    if (index >= kAnalogueModeEntries) return 0;
    return index <= 1 ? index : (index - 1) * 5 + 1;
}

int EncoderModeSent(std::uint8_t index) { return index < kEncoderModeEntries ? index : 0; }

}  // namespace kelvane
